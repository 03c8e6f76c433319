// A page built to hold up Qt's rich text, bounded: the document Qt itself makes of it is small and
// shallow, whatever the page hides from a parser in comments, scripts and attribute values; and
// the addresses a page may load.
#include "platform/qt/bounded_html.h"
#include "platform/qt/web_pane.h"

#include <QTextDocument>
#include <QTextFrame>
#include <QtTest>

using namespace quelvex;

namespace {
int frameDepth(QTextFrame* frame) {
    int deepest = 0;
    for (QTextFrame* child : frame->childFrames())
        deepest = std::max(deepest, frameDepth(child));
    return deepest + 1;
}
} // namespace

class BoundedHtmlTest : public QObject {
    Q_OBJECT

  private slots:
    void aHostilePageBecomesSmallAndShallow() {
        const QString cells = QStringLiteral("<table><tr><td>").repeated(26);
        const QString page = QStringLiteral("<!--") + cells + QStringLiteral("--><script>") + cells +
                             QStringLiteral("</script><a title='") + cells + QStringLiteral("'>a</a>") +
                             cells + QStringLiteral("<div>").repeated(20000) +
                             QString(100000, QLatin1Char('x'));
        QTextDocument doc;
        doc.setHtml(boundHtml(page, {}));
        QCOMPARE(frameDepth(doc.rootFrame()), 1 + HtmlBounds{}.tableDepth);
        const QString text = doc.toPlainText();
        QVERIFY(text.size() < HtmlBounds{}.text * 102 / 100);
        QVERIFY(text.startsWith(QStringLiteral("a")));
        const QStringList words = text.split(QRegularExpression(QStringLiteral("[\\s\\x{200b}]+")));
        for (const QString& word : words)
            QVERIFY(word.size() <= HtmlBounds{}.breakEvery + 1);
    }

    void pagesComeOverHttpsOrFromThisComputer() {
        for (const char* url : {"https://example.org/a", "http://127.0.0.1:8080/a", "http://[::1]/"})
            QVERIFY2(webAddressAllowed(QUrl(QString::fromLatin1(url))), url);
        for (const char* url : {"http://example.org/", "http://127.0.0.1.example.org/", "file:///etc/passwd"})
            QVERIFY2(!webAddressAllowed(QUrl(QString::fromLatin1(url))), url);
        QVERIFY(browserAddressAllowed(QUrl(QStringLiteral("http://example.org/"))));
    }
};

QTEST_MAIN(BoundedHtmlTest)
#include "bounded_html_test.moc"
