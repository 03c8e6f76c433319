#include "platform/qt/bounded_html.h"

#include <QHash>
#include <QList>

#include <algorithm>
#include <initializer_list>

namespace quelvex {
namespace {

// Zero-width space: a place where a line may break.
constexpr QChar kBreak(0x200B);

bool among(QStringView name, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(),
                       [name](const char* n) { return name == QLatin1StringView(n); });
}

bool isVoid(QStringView name) {
    return among(name, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param",
                        "source", "track", "wbr"});
}

bool isTablePart(QStringView name) {
    return among(name, {"table", "tr", "td", "th", "tbody", "thead", "tfoot", "caption", "colgroup", "col"});
}

// Where an element that HTML lets a later tag end implicitly is ended by this opening tag: the
// index in `open` of the element it ends, or -1.
qsizetype impliedEnd(const QList<QString>& open, QStringView name) {
    auto find = [&open](std::initializer_list<const char*> ends, std::initializer_list<const char*> stops) {
        for (qsizetype i = open.size() - 1; i >= 0; --i) {
            if (among(open[i], ends)) return i;
            if (among(open[i], stops)) break;
        }
        return qsizetype(-1);
    };
    if (among(name, {"td", "th"})) return find({"td", "th"}, {"tr", "table"});
    if (name == u"tr") return find({"tr"}, {"table"});
    if (among(name, {"tbody", "thead", "tfoot"})) return find({"tbody", "thead", "tfoot"}, {"table"});
    if (name == u"li") return find({"li"}, {"ul", "ol"});
    if (among(name, {"dt", "dd"})) return find({"dt", "dd"}, {"dl"});
    if (name == u"option") return find({"option"}, {"select"});
    if (among(name, {"p", "div", "table", "ul", "ol", "dl", "pre", "blockquote", "h1", "h2", "h3", "h4", "h5",
                     "h6", "hr"}))
        return find({"p"}, {"td", "th", "li", "div", "blockquote", "table"});
    return -1;
}

bool attributeNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u':';
}

class Bounder {
  public:
    Bounder(const QString& in, const HtmlBounds& b)
        : in_(in), b_(b), textLeft_(b.text), tagsLeft_(b.tags), styleLeft_(b.style) {}

    QString run() {
        out_.reserve(std::min<qsizetype>(in_.size(), 2 * qsizetype(b_.text)));
        while (i_ < in_.size() && step()) {
        }
        return out_;
    }

  private:
    // One character of text or one tag; false once the page must end here.
    bool step() {
        const QStringView rest = QStringView(in_).mid(i_);
        if (rest.size() < 2 || rest[0] != u'<') return text(in_[i_++]);
        if (rest.startsWith(u"<!--")) return skipPast(u"-->");
        if (rest[1] == u'!' || rest[1] == u'?') return skipPast(u">");
        const bool closing = rest[1] == u'/';
        qsizetype p = i_ + (closing ? 2 : 1);
        if (p >= in_.size() || !in_[p].isLetter()) {
            ++i_;
            return text(u'<', QStringLiteral("&lt;"));
        }
        qsizetype q = p;
        while (q < in_.size() && attributeNameChar(in_[q]))
            ++q;
        const QString name = in_.mid(p, q - p).toLower();
        const qsizetype start = i_;
        QString attributes;
        i_ = q;
        if (!readAttributes(attributes)) return false;
        const bool tooLong = i_ - start > b_.tagLength;
        if (closing) return close(name);
        if (among(name, {"script", "style", "title", "textarea", "xmp"}))
            return rawText(name, attributes, tooLong);
        return openTag(name, attributes, tooLong);
    }

    bool skipPast(QStringView end) {
        const qsizetype at = in_.indexOf(end, i_ + 1);
        if (at < 0) return false;
        i_ = at + end.size();
        return true;
    }

    bool text(QChar c, const QString& as = {}) {
        if (textLeft_ <= 0) return false;
        --textLeft_;
        const bool inEntity = entity_;
        if (c.isSpace()) {
            run_ = 0;
            entity_ = false;
        } else {
            if (c == u'&')
                entity_ = true;
            else if (entity_ && !(c.isLetterOrNumber() || c == u'#'))
                entity_ = false;
            if (++run_ > b_.breakEvery && !inEntity && !c.isLowSurrogate()) {
                out_ += kBreak;
                run_ = 1;
            }
        }
        if (as.isEmpty())
            out_ += c;
        else
            out_ += as;
        return true;
    }

    // Reads the attributes up to the tag's end, written out again as name="value" with nothing
    // in a value that could end it: Qt's parser then sees exactly the tags counted here.
    bool readAttributes(QString& out) {
        const qsizetype limit = i_ + b_.tagLength;
        for (;;) {
            while (i_ < in_.size() && (in_[i_].isSpace() || in_[i_] == u'/'))
                ++i_;
            if (i_ >= in_.size()) return false;
            if (in_[i_] == u'>') {
                ++i_;
                return true;
            }
            const qsizetype nameStart = i_;
            while (i_ < in_.size() && !in_[i_].isSpace() && in_[i_] != u'>' && in_[i_] != u'/' &&
                   in_[i_] != u'=')
                ++i_;
            const QStringView name = QStringView(in_).mid(nameStart, i_ - nameStart);
            while (i_ < in_.size() && in_[i_].isSpace())
                ++i_;
            QStringView value;
            bool hasValue = false;
            if (i_ < in_.size() && in_[i_] == u'=') {
                ++i_;
                while (i_ < in_.size() && in_[i_].isSpace())
                    ++i_;
                if (i_ >= in_.size()) return false;
                hasValue = true;
                if (const QChar quote = in_[i_]; quote == u'"' || quote == u'\'') {
                    const qsizetype end = in_.indexOf(quote, i_ + 1);
                    if (end < 0) return false;
                    value = QStringView(in_).mid(i_ + 1, end - i_ - 1);
                    i_ = end + 1;
                } else {
                    const qsizetype valueStart = i_;
                    while (i_ < in_.size() && !in_[i_].isSpace() && in_[i_] != u'>')
                        ++i_;
                    value = QStringView(in_).mid(valueStart, i_ - valueStart);
                }
            }
            if (i_ > limit || name.isEmpty() || !std::all_of(name.begin(), name.end(), attributeNameChar))
                continue;
            out += QLatin1Char(' ') + name.toString().toLower();
            if (!hasValue) continue;
            out += u"=\"";
            for (const QChar c : value) {
                if (c == u'"')
                    out += u"&quot;";
                else if (c == u'<')
                    out += u"&lt;";
                else if (c == u'>')
                    out += u"&gt;";
                else
                    out += c;
            }
            out += u'"';
        }
    }

    bool close(const QString& name) {
        if (auto d = dropped_.find(name); d != dropped_.end() && *d > 0) {
            --*d;
            return true;
        }
        const qsizetype at = open_.lastIndexOf(name);
        if (at < 0) return true;
        if (tagsLeft_-- <= 0) return false;
        out_ += QStringLiteral("</") + name + u'>';
        closeFrom(at);
        return true;
    }

    void closeFrom(qsizetype at) {
        for (qsizetype k = at; k < open_.size(); ++k)
            if (open_[k] == u"table") --tables_;
        open_.resize(at);
        run_ = 0;
    }

    // Scripts go; a style sheet stays while the budget lasts; a title's text is text.
    bool rawText(const QString& name, const QString& attributes, bool tooLong) {
        const qsizetype end = in_.indexOf(QStringLiteral("</") + name, i_, Qt::CaseInsensitive);
        if (end < 0) return false;
        const QStringView content = QStringView(in_).mid(i_, end - i_);
        i_ = end;
        if (!skipPast(u">")) return false;
        if (name == u"script" || tooLong) return true;
        if (name == u"style") {
            if (content.size() > styleLeft_) return true;
            styleLeft_ -= int(content.size());
        }
        if ((tagsLeft_ -= 2) < 0) return false;
        out_ += QLatin1Char('<') + name + attributes + u'>';
        if (name == u"style") {
            out_ += content;
        } else {
            const QStringView shown = content.left(textLeft_);
            textLeft_ -= int(shown.size());
            for (const QChar c : shown) {
                if (c == u'<')
                    out_ += u"&lt;";
                else if (c == u'>')
                    out_ += u"&gt;";
                else
                    out_ += c;
            }
        }
        out_ += QStringLiteral("</") + name + u'>';
        return true;
    }

    bool openTag(const QString& name, const QString& attributes, bool tooLong) {
        const bool isVoidTag = isVoid(name);
        const bool table = isTablePart(name);
        const bool drop = tooLong || (!isVoidTag && open_.size() >= b_.depth) ||
                          (table && dropped_.value(QStringLiteral("table")) > 0) ||
                          (table && name != u"table" && tables_ == 0) ||
                          (name == u"table" && tables_ >= b_.tableDepth);
        if (drop) {
            if (!isVoidTag) ++dropped_[name];
            return true;
        }
        if (tagsLeft_-- <= 0) return false;
        if (const qsizetype at = impliedEnd(open_, name); at >= 0) closeFrom(at);
        out_ += QLatin1Char('<') + name + attributes + u'>';
        run_ = 0;
        if (isVoidTag) return true;
        open_.append(name);
        if (name == u"table") ++tables_;
        return true;
    }

    const QString& in_;
    const HtmlBounds& b_;
    QString out_;
    qsizetype i_ = 0;
    QList<QString> open_;         // the elements open, outermost first
    QHash<QString, int> dropped_; // opening tags left out, by name: their end tags go too
    int tables_ = 0;
    int textLeft_, tagsLeft_, styleLeft_;
    int run_ = 0; // characters since the last place a line may break
    bool entity_ = false;
};

} // namespace

QString boundHtml(const QString& html, const HtmlBounds& bounds) {
    return Bounder(html, bounds).run();
}

QString boundText(const QString& text, const HtmlBounds& bounds) {
    QString out;
    int run = 0;
    for (const QChar c : QStringView(text).left(bounds.text)) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > bounds.breakEvery && !c.isLowSurrogate()) {
            out += kBreak;
            run = 1;
        }
        out += c;
    }
    return out;
}

} // namespace quelvex
