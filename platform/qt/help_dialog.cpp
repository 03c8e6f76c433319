#include "platform/qt/help_dialog.h"

#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <functional>

namespace quelvex {
namespace {

QColor rgb(std::uint32_t colour) {
    return QColor::fromRgb(0xFF000000u | colour);
}

const QColor kGroupColour = rgb(TForm2::kGroupColour);
const QColor kMemoColour = rgb(TForm2::kMemoColour);

void place(QWidget* w, const Rect& r) {
    w->setGeometry(r.left, r.top, r.width, r.height);
}

// Liberation Sans has the metrics of Arial and stands in for the Windows fonts the window was
// laid out with.
QFont sans(int pixels, bool bold) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

// The site link: reports the pointer entering and leaving it and a click released over it, or
// Space or Enter while it has the keyboard focus, which Tab alone gives it and a dotted frame in
// its colour shows.
class LinkLabel : public QLabel {
  public:
    std::function<void()> entered, left, clicked;
    explicit LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
        setFocusPolicy(Qt::TabFocus);
    }

  protected:
    void enterEvent(QEnterEvent*) override { entered(); }
    void leaveEvent(QEvent*) override { left(); }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) clicked();
    }
    void keyPressEvent(QKeyEvent* e) override {
        const bool press =
            e->key() == Qt::Key_Space || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        if (press && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            clicked();
        else
            QLabel::keyPressEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        QLabel::paintEvent(e);
        if (!hasFocus()) return;
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::WindowText), 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QPlainTextEdit* memo(QWidget* parent, const std::string& text, bool readOnly) {
    auto* m = new QPlainTextEdit(parent);
    place(m, TForm2::kMemo);
    m->setFont(sans(TForm2::kMemoFontPixels, true));
    QPalette p = m->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, kMemoColour);
        p.setColor(group, QPalette::Text, Qt::black);
    }
    m->setPalette(p);
    QPalette bar = m->verticalScrollBar()->palette();
    bar.setColor(QPalette::Window, rgb(0x8F8DB0));
    bar.setColor(QPalette::Button, rgb(0xCFCEE3));
    bar.setColor(QPalette::Base, rgb(0x8F8DB0));
    m->verticalScrollBar()->setPalette(bar);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m->setPlainText(QString::fromStdString(text));
    m->setReadOnly(readOnly);
    m->document()->setDocumentMargin(6);
    return m;
}

// The platform appends the application's display name to every title that does not already end
// with it ("Quelvex 5.0 HELP — Quelvex 5.0"); the caption is the whole title here. The native
// window is created meanwhile, since creating it sets the title again.
void setTitle(QWidget& window, const QString& title) {
    const QString displayName = QGuiApplication::applicationDisplayName();
    QGuiApplication::setApplicationDisplayName(QString());
    window.winId();
    window.setWindowTitle(title);
    QGuiApplication::setApplicationDisplayName(displayName);
}

} // namespace

class HelpDialog::View : public QDialog {
  public:
    explicit View(HelpDialog& owner) : owner_(owner) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                       Qt::WindowCloseButtonHint);
        // A window of its own beside the main one; closing the main window still ends the program.
        setAttribute(Qt::WA_QuitOnClose, false);
        setModal(false);
        setFixedSize(TForm2::kWidth, TForm2::kHeight);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::black);
        setPalette(p);
        setAutoFillBackground(true);
        setWindowIcon(QIcon(QStringLiteral(":/skin/helpicon.png")));

        image1 = new QLabel(this);
        place(image1, TForm2::kImage1);
        image1->setPixmap(
            QIcon(QStringLiteral(":/skin/helplogo.png"))
                .pixmap(QSize(TForm2::kImage1.width, TForm2::kImage1.height), devicePixelRatioF()));

        const TForm2& form = owner_.form_;
        label4 = new LinkLabel(QString::fromStdString(form.label4Caption()), this);
        label4->setFont(sans(TForm2::kLinkFontPixels, false));
        label4->setCursor(Qt::PointingHandCursor);
        label4->adjustSize();
        const Rect link = TForm2::kLabel4;
        label4->setGeometry(link.left, link.top, std::max(link.width, label4->width()), link.height);
        label4->entered = [this] { owner_.form_.Label4MouseEnter(), owner_.sync(); };
        label4->left = [this] { owner_.form_.Label4MouseLeave(), owner_.sync(); };
        label4->clicked = [this] { owner_.form_.Label4Click(); };

        groupBox1 = new QGroupBox(this);
        place(groupBox1, TForm2::kGroupBox1);
        groupBox1->setFont(sans(TForm2::kGroupFontPixels, true));
        setTextColour(groupBox1, kGroupColour);
        // The caption sits on the frame's top line, as the window was designed.
        groupBox1->setStyleSheet(
            QStringLiteral("QGroupBox { border: 1px solid #57567A; border-radius: 4px; margin-top: 7px; }"
                           "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
                           " left: 8px; padding: 0 3px; color: #A7A6BD; }"));
        radioButton2 = new QRadioButton(QStringLiteral("Español"), groupBox1);
        place(radioButton2, TForm2::kRadioButton2);
        radioButton1 = new QRadioButton(QStringLiteral("English"), groupBox1);
        place(radioButton1, TForm2::kRadioButton1);
        for (QRadioButton* r : {radioButton1, radioButton2}) {
            r->setFont(sans(TForm2::kRadioFontPixels, true));
            QPalette rp = r->palette();
            rp.setColor(QPalette::WindowText, kGroupColour);
            rp.setColor(QPalette::Base, rgb(0x1B1A40));
            rp.setColor(QPalette::Text, rgb(0xE6E3FF));
            r->setPalette(rp);
            // Reached by Tab only, so a click draws no focus frame.
            r->setFocusPolicy(Qt::TabFocus);
        }
        connect(radioButton1, &QRadioButton::clicked, this,
                [this] { owner_.form_.select(RadioButton::RadioButton1), owner_.sync(); });
        connect(radioButton2, &QRadioButton::clicked, this,
                [this] { owner_.form_.select(RadioButton::RadioButton2), owner_.sync(); });

        memo1 = memo(this, TForm2::memo1Text(), true);
        memo2 = memo(this, TForm2::memo2Text(), false);
        // In reading order: the language, the site link, the manual. Tab leaves a manual.
        setTabOrder(radioButton2, radioButton1);
        setTabOrder(radioButton1, label4);
        setTabOrder(label4, memo1);
        setTabOrder(memo1, memo2);
        for (QPlainTextEdit* m : {memo1, memo2})
            m->setTabChangesFocus(true);
        // The window opens with the manual holding the focus.
        memo1->setFocus();

        // Where the window first opens, kept on the screen.
        QPoint at(TForm2::kLeft, TForm2::kTop);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - width())));
            at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - height())));
        }
        move(at);
    }

    QLabel* image1;
    LinkLabel* label4;
    QGroupBox* groupBox1;
    QRadioButton* radioButton1;
    QRadioButton* radioButton2;
    QPlainTextEdit* memo1;
    QPlainTextEdit* memo2;

    // The close box ends here; it only hides the window.
    void reject() override {
        owner_.form_.FormClose();
        owner_.sync();
    }

  protected:
    // Escape is kept for later use: as in the main window, it closes nothing.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            event->accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }

  private:
    HelpDialog& owner_;
};

HelpDialog::HelpDialog(Shell& shell) : form_(shell) {}
HelpDialog::~HelpDialog() = default;

QWidget* HelpDialog::window() const {
    return view_.get();
}

void HelpDialog::showHelp() {
    if (!view_) view_ = std::make_unique<View>(*this);
    form_.Show();
    sync();
}

void HelpDialog::followLanguage(bool english) {
    form_.followLanguage(english);
    sync();
}

void HelpDialog::sync() {
    if (!view_) return;
    View& v = *view_;
    setTitle(v, QString::fromStdString(form_.caption()));
    v.groupBox1->setTitle(QString::fromStdString(form_.groupBox1Caption()));
    {
        const QSignalBlocker b1(v.radioButton1), b2(v.radioButton2);
        v.radioButton1->setChecked(form_.checked(RadioButton::RadioButton1));
        v.radioButton2->setChecked(form_.checked(RadioButton::RadioButton2));
    }
    // Only the manual on top is shown, so that neither Tab nor typing reaches the other; the
    // focus goes with the manual.
    QPlainTextEdit* shown = form_.memo2Visible() ? v.memo2 : v.memo1;
    QPlainTextEdit* other = shown == v.memo2 ? v.memo1 : v.memo2;
    shown->setVisible(true);
    if (v.focusWidget() == other) shown->setFocus();
    other->setVisible(false);
    setTextColour(v.label4, rgb(form_.label4Colour()));

    if (!form_.visible()) {
        v.hide();
        return;
    }
    v.show();
    if (raisedFor_ != form_.raiseRequests()) {
        raisedFor_ = form_.raiseRequests();
        v.raise();
        v.activateWindow();
    }
}

} // namespace quelvex
