#include "platform/qt/main_view.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

namespace quelvex {
namespace {

const QColor kGaugeFilled(0x80, 0x00, 0x00);
const QColor kGaugeEmpty(0x00, 0x00, 0x80);

QColor rgb(std::uint32_t color) {
    return QColor::fromRgb(0xFF000000u | color);
}

// The logical families are Windows fonts; Liberation Sans has Arial's metrics. The small
// link-bar font runs narrower than Arial, so its captions take the narrow cut to keep their room.
QFont fontFor(const FontSpec& logical) {
    QFont font(logical.family == FontFamily::MsSansSerif ? QStringLiteral("Liberation Sans Narrow")
                                                         : QStringLiteral("Liberation Sans"));
    font.setPixelSize(logical.pixelSize > 0 ? logical.pixelSize : 11);
    font.setBold(logical.bold);
    if (logical.family == FontFamily::ArialBlack) font.setWeight(QFont::Black);
    font.setUnderline(logical.underline);
    return font;
}

std::optional<MouseButton> buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton: return MouseButton::Left;
    case Qt::RightButton: return MouseButton::Right;
    case Qt::MiddleButton: return MouseButton::Middle;
    default: return std::nullopt;
    }
}

std::optional<Panel> panelOf(Parent parent) {
    switch (parent) {
    case Parent::Panel1: return Panel::Panel1;
    case Parent::Panel2: return Panel::Panel2;
    case Parent::Panel3: return Panel::Panel3;
    case Parent::Window: break;
    }
    return std::nullopt;
}

std::optional<Parent> childrenOf(Panel panel) {
    switch (panel) {
    case Panel::Panel1: return Parent::Panel1;
    case Panel::Panel2: return Parent::Panel2;
    case Panel::Panel3: return Parent::Panel3;
    default: return std::nullopt;
    }
}

// The ratio of the device actually painted on: the backing store, or the pixmap of a render().
qreal ratioOf(QPainter& painter) {
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine && engine->paintDevice() ? engine->paintDevice() : painter.device();
    return device ? device->devicePixelRatioF() : 1.0;
}

// A windowed container: its fill, then its controls, which the view paints.
class PanelSurface final : public QWidget {
  public:
    PanelSurface(QWidget* parent, QColor fill, std::function<void(QPainter&, const QRect&)> paintControls)
        : QWidget(parent), fill_(fill), paintControls_(std::move(paintControls)) {
        // The view hit-tests panels itself, so one widget owns every press and its grab.
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), fill_);
        if (paintControls_) paintControls_(painter, event->rect());
    }

  private:
    QColor fill_;
    std::function<void(QPainter&, const QRect&)> paintControls_;
};

} // namespace

MainView::MainView(const Face& face, FaceEvents& events, SkinPictures pictures, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), face_(face), events_(events),
      pictures_(std::move(pictures)) {
    setWindowTitle(QStringLiteral("Quelvex 5.0"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    wayland_ = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));

    imageSlot_.fill(-1);
    labelSlot_.fill(-1);
    const auto table = layoutTable();
    controls_.reserve(table.size());
    for (const LayoutEntry& entry : table) {
        const int slot = static_cast<int>(controls_.size());
        Control& c = controls_.emplace_back(Control{&entry, {}, {}});
        switch (entry.control.kind) {
        case Kind::Image: imageSlot_[entry.control.index] = slot; break;
        case Kind::Label:
            labelSlot_[entry.control.index] = slot;
            c.font = fontFor(entry.font);
            break;
        case Kind::Gauge: gaugeSlot_ = slot; break;
        case Kind::Panel: {
            // Created in table order, so later panels stack over earlier ones.
            const Panel panel = entry.control.panel();
            const auto inside = childrenOf(panel);
            std::function<void(QPainter&, const QRect&)> paint;
            if (inside)
                paint = [this, parent = *inside](QPainter& p, const QRect& dirty) {
                    paintControls(p, parent, dirty);
                };
            panels_[entry.control.index] = new PanelSurface(this, rgb(entry.color), std::move(paint));
            panelOrder_.push_back(panel);
            continue;
        }
        }
        byParent_[static_cast<std::size_t>(entry.parent)].push_back(slot);
    }
    for (Control& c : controls_)
        c.shownRect = rectInParent(c);
    for (Panel panel : panelOrder_)
        applyPanel(panel);
    applyWindowGeometry();
}

MainView::~MainView() = default;

int MainView::slotOf(ControlRef control) const {
    switch (control.kind) {
    case Kind::Image: return control.index < kImageCount ? imageSlot_[control.index] : -1;
    case Kind::Label: return control.index < kLabelCount ? labelSlot_[control.index] : -1;
    case Kind::Gauge: return gaugeSlot_;
    case Kind::Panel:
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i].entry->control == control) return static_cast<int>(i);
        return -1;
    }
    return -1;
}

QRect MainView::rectInParent(const Control& c) const {
    const LayoutEntry& e = *c.entry;
    switch (e.control.kind) {
    case Kind::Image: {
        if (!face_.visible(e.control.image())) return {};
        const Size size = controlSize(e, face_);
        return {e.left, e.top, size.width, size.height};
    }
    case Kind::Label: {
        if (e.width || e.height) return {e.left, e.top, e.width, e.height};
        const QFontMetrics metrics(c.font);
        const QString text = QString::fromStdString(face_.text(e.control.label()));
        return {e.left, e.top, metrics.horizontalAdvance(text), metrics.height()};
    }
    case Kind::Gauge: return {e.left, e.top, e.width, e.height};
    case Kind::Panel: {
        const PanelState& p = face_.panel(e.control.panel());
        return p.visible ? QRect(p.left, p.top, p.width, p.height) : QRect();
    }
    }
    return {};
}

QPoint MainView::originOf(Parent parent) const {
    const auto panel = panelOf(parent);
    if (!panel) return {0, 0};
    const PanelState& p = face_.panel(*panel);
    return {p.left, p.top};
}

QWidget* MainView::surfaceOf(Parent parent) const {
    const auto panel = panelOf(parent);
    return panel ? panels_[static_cast<std::size_t>(*panel)] : const_cast<MainView*>(this);
}

QWidget* MainView::panelWidget(Panel panel) const {
    return panels_[static_cast<std::size_t>(panel)];
}

void MainView::setPanelWidget(Panel panel, QWidget* widget) {
    QWidget*& slot = panels_[static_cast<std::size_t>(panel)];
    if (!widget || widget == slot) return;
    widget->setParent(this);
    widget->stackUnder(slot);
    delete std::exchange(slot, widget);
    applyPanel(panel);
    // A native widget (the engine's) makes its siblings native too, and its window, made last,
    // lies over theirs: stackUnder does not restack native windows. The link bar, repainted under
    // it, kept its old captions on the screen. Raising the panels above it restacks their windows.
    auto above = std::find(panelOrder_.begin(), panelOrder_.end(), panel);
    if (above != panelOrder_.end()) ++above;
    for (; above != panelOrder_.end(); ++above)
        panels_[static_cast<std::size_t>(*above)]->raise();
}

QRect MainView::controlRect(ControlRef control) const {
    const int slot = slotOf(control);
    if (slot < 0) return {};
    const Control& c = controls_[static_cast<std::size_t>(slot)];
    if (const auto panel = panelOf(c.entry->parent); panel && !face_.panel(*panel).visible) return {};
    const QRect r = rectInParent(c);
    return r.isEmpty() ? QRect() : r.translated(originOf(c.entry->parent));
}

std::optional<ControlRef> MainView::controlAt(QPoint point) const {
    if (!rect().contains(point)) return std::nullopt;
    auto topmostIn = [this](Parent parent, QPoint p) -> std::optional<ControlRef> {
        const auto& stack = byParent_[static_cast<std::size_t>(parent)];
        for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
            const Control& c = controls_[static_cast<std::size_t>(*it)];
            if (rectInParent(c).contains(p)) return c.entry->control;
        }
        return std::nullopt;
    };
    // Panels are windows of their own and lie over every picture of the face.
    for (auto it = panelOrder_.rbegin(); it != panelOrder_.rend(); ++it) {
        const PanelState& p = face_.panel(*it);
        const QRect area(p.left, p.top, p.width, p.height);
        if (!p.visible || !area.contains(point)) continue;
        if (const auto inside = childrenOf(*it))
            if (auto hit = topmostIn(*inside, point - area.topLeft())) return hit;
        return ControlRef(*it);
    }
    return topmostIn(Parent::Window, point);
}

QPoint MainView::local(ControlRef control, QPoint windowPoint) const {
    if (control.kind == Kind::Panel) {
        const PanelState& p = face_.panel(control.panel());
        return windowPoint - QPoint(p.left, p.top);
    }
    const int slot = slotOf(control);
    if (slot < 0) return windowPoint;
    const LayoutEntry& e = *controls_[static_cast<std::size_t>(slot)].entry;
    return windowPoint - originOf(e.parent) - QPoint(e.left, e.top);
}

void MainView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The window's own colour shows only below the open options panel.
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    paintControls(painter, Parent::Window, event->rect());
}

void MainView::paintControls(QPainter& painter, Parent parent, const QRect& dirty) const {
    const qreal ratio = ratioOf(painter);
    for (int slot : byParent_[static_cast<std::size_t>(parent)]) {
        const Control& c = controls_[static_cast<std::size_t>(slot)];
        const QRect r = rectInParent(c);
        if (!r.isEmpty() && r.intersects(dirty)) paintControl(painter, c, r, ratio);
    }
}

void MainView::paintControl(QPainter& painter, const Control& c, const QRect& r, qreal ratio) const {
    const LayoutEntry& e = *c.entry;
    switch (e.control.kind) {
    case Kind::Image: {
        const Image picture = face_.picture(e.control.image());
        if (picture == kNoPicture) return;
        // The 1x pictures at 1x; the 2x pictures at 2x, or doubled again at 4x, stay crisp as they
        // are. Any other ratio (1.25, 1.5, 3) takes pictures resampled to the device's grid.
        if (const qreal fromDoubled = ratio / 2; ratio != 1.0 && fromDoubled != std::floor(fromDoubled)) {
            paintOnDeviceGrid(painter, picture, e.seeThrough, r);
            return;
        }
        const QPixmap& pixmap =
            e.seeThrough ? pictures_.seeThrough(picture, ratio) : pictures_.pixmap(picture, ratio);
        if (pixmap.isNull()) return;
        const QSizeF size = pixmap.deviceIndependentSize();
        if (size.width() <= r.width() && size.height() <= r.height()) {
            painter.drawPixmap(r.topLeft(), pixmap);
            return;
        }
        painter.save();
        painter.setClipRect(r, Qt::IntersectClip);
        painter.drawPixmap(r.topLeft(), pixmap);
        painter.restore();
        return;
    }
    case Kind::Label: {
        const LabelState& label = face_.label(e.control.label());
        painter.setFont(c.font);
        painter.setPen(rgb(label.color));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(label.text));
        return;
    }
    case Kind::Gauge: {
        const int filled = std::clamp(face_.gauge().percent(), 0, 100) * r.width() / 100;
        painter.fillRect(QRect(r.left(), r.top(), filled, r.height()), kGaugeFilled);
        painter.fillRect(QRect(r.left() + filled, r.top(), r.width() - filled, r.height()), kGaugeEmpty);
        return;
    }
    case Kind::Panel: return;
    }
}

// At a ratio like 1.5 a control's edges fall between device pixels. Each edge is rounded to a
// pixel boundary in window coordinates, so neighbours share their edge (no seam, no overlap)
// whatever panel they lie in, and the picture is resampled to exactly that many pixels and drawn
// 1:1: every picture starts on a whole pixel and none is blurred by a half-pixel offset.
void MainView::paintOnDeviceGrid(QPainter& painter, Image picture, bool seeThrough, const QRect& r) const {
    const QSize size = pictures_.pixmap(picture, 1.0).size();
    if (size.isEmpty()) return;
    const QTransform toDevice = painter.deviceTransform();
    // An edge at a half pixel moves right and down, as Qt rounds the panels' own geometry.
    const auto snapped = [&toDevice](const QRect& logical) {
        const QRectF exact = toDevice.mapRect(QRectF(logical));
        return QRect(QPoint(qRound(exact.left()), qRound(exact.top())),
                     QPoint(qRound(exact.right()) - 1, qRound(exact.bottom()) - 1));
    };
    const QRect whole(r.topLeft(), size);
    const QRect device = snapped(whole);
    const QPixmap& pixmap = pictures_.fitted(picture, seeThrough, device.size());
    if (pixmap.isNull()) return;
    painter.save();
    painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
    // A picture larger than its control shows only the control's part, as at whole ratios.
    if (!r.contains(whole)) painter.setClipRect(snapped(r & whole), Qt::IntersectClip);
    painter.drawPixmap(device.topLeft(), pixmap);
    painter.restore();
}

void MainView::refresh(int slot) {
    if (slot < 0) return;
    Control& c = controls_[static_cast<std::size_t>(slot)];
    const QRect now = rectInParent(c);
    QWidget* surface = surfaceOf(c.entry->parent);
    // A new picture can change a fit control's size: repaint what it covered and what it covers.
    surface->update(c.shownRect);
    if (now != c.shownRect) surface->update(now);
    c.shownRect = now;
}

void MainView::applyPanel(Panel panel) {
    QWidget* widget = panels_[static_cast<std::size_t>(panel)];
    const PanelState& p = face_.panel(panel);
    widget->setGeometry(p.left, p.top, p.width, p.height);
    widget->setVisible(p.visible);
}

void MainView::applyWindowGeometry() {
    const WindowState& w = face_.window();
    // Until the model has sized the window, it has the size the form is designed at.
    const QSize size(w.width > 0 ? w.width : kWindowWidth, w.height > 0 ? w.height : kPanelClosedHeight);
    if (size != this->size() || minimumSize() != size || maximumSize() != size) setFixedSize(size);
    if (pos() != QPoint(w.left, w.top)) move(w.left, w.top);
}

void MainView::applyChanges(const FaceChanges& changes) {
    for (std::size_t i = 0; i < kPanelCount; ++i)
        if (changes.panels.test(i)) applyPanel(static_cast<Panel>(i));
    for (std::size_t i = 0; i < kImageCount; ++i)
        if (changes.images.test(i)) refresh(imageSlot_[i]);
    for (std::size_t i = 0; i < kLabelCount; ++i)
        if (changes.labels.test(i)) refresh(labelSlot_[i]);
    if (changes.gauge) refresh(gaugeSlot_);
    if (changes.window) {
        applyWindowGeometry();
        showAsTheFaceSays();
    }
    if (changes.minimiseRequests && firstShow_ == FirstShow::Done) showMinimized();
    if (changes.closeRequested) close();
}

void MainView::holdHidden(bool hold) {
    // Only a window that is off the screen now is kept off it.
    heldHidden_ = hold && firstShow_ == FirstShow::Done && !isVisible();
    showAsTheFaceSays();
}

void MainView::showAsTheFaceSays() {
    const bool shown = face_.window().visible && !heldHidden_;
    if (firstShow_ == FirstShow::Done && shown != isVisible()) setVisible(shown);
}

void MainView::setVisible(bool visible) {
    if (visible && firstShow_ == FirstShow::Pending) {
        firstShow_ = FirstShow::Running;
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QSize size = screen ? screen->size() : QSize(0, 0);
        // The model places the window (it centres itself) before anything appears.
        events_.firstShown(size.width(), size.height());
        applyWindowGeometry();
        firstShow_ = FirstShow::Done;
        if (!face_.window().visible) return;
    }
    QWidget::setVisible(visible);
}

void MainView::setHover(std::optional<ControlRef> control) {
    if (hover_ == control) return;
    const auto previous = std::exchange(hover_, control);
    const int slot = control ? slotOf(*control) : -1;
    const bool hand = slot >= 0 && controls_[static_cast<std::size_t>(slot)].entry->handCursor;
    setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (previous) events_.mouseLeave(*previous);
    if (control) events_.mouseEnter(*control);
}

void MainView::mousePressEvent(QMouseEvent* event) {
    const auto button = buttonOf(event->button());
    if (!button) return;
    const QPoint at = event->position().toPoint();
    // The first button down picks the control; it gets everything until the last button is up.
    if (event->buttons() == Qt::MouseButtons(event->button()) || !pressed_) {
        pressed_ = controlAt(at);
        leftDown_ = false;
        held_ = {};
    }
    if (!pressed_) return;
    const ControlRef target = *pressed_;
    if (*button == MouseButton::Left) leftDown_ = true;
    held_ |= event->button();
    const QPoint p = local(target, at);
    lastPressPoint_ = p;
    events_.mouseDown(target, *button, p.x(), p.y());
    // Wayland ignores a window that moves itself; the compositor drags it instead.
    const bool dragArea = target == ControlRef(Image::modulo1) || target == ControlRef(Image::modulo2);
    if (wayland_ && dragArea && *button == MouseButton::Left && windowHandle())
        windowHandle()->startSystemMove();
}

void MainView::mouseReleaseEvent(QMouseEvent* event) {
    const auto button = buttonOf(event->button());
    const auto target = pressed_;
    held_ &= ~Qt::MouseButtons(event->button());
    if (event->buttons() == Qt::NoButton) {
        pressed_.reset();
        held_ = {};
    }
    if (!button || !target) return;
    const QPoint at = event->position().toPoint();
    const bool clicked = *button == MouseButton::Left && leftDown_ && controlAt(at) == *target;
    if (*button == MouseButton::Left) leftDown_ = false;
    const QPoint p = local(*target, at);
    if (clicked) events_.click(*target);
    events_.mouseUp(*target, *button, p.x(), p.y());
}

// The releases of a press whose buttons went up where this window could not see them: it was
// hidden, a box took the input, the compositor took the pointer. Without them an auto-repeat
// would run on and a drag would follow bare pointer moves. No click: the press was not completed.
void MainView::releaseLostPress() {
    if (!pressed_) return;
    const ControlRef target = *pressed_;
    const Qt::MouseButtons held = held_;
    pressed_.reset();
    held_ = {};
    leftDown_ = false;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (held & b) events_.mouseUp(target, *buttonOf(b), lastPressPoint_.x(), lastPressPoint_.y());
}

void MainView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ && event->buttons() == Qt::NoButton) releaseLostPress();
    const QPoint at = event->position().toPoint();
    const auto under = controlAt(at);
    setHover(under);
    const auto target = pressed_ ? pressed_ : under;
    if (!target) return;
    const QPoint p = local(*target, at);
    events_.mouseMove(*target, p.x(), p.y());
}

void MainView::leaveEvent(QEvent* event) {
    setHover(std::nullopt);
    QWidget::leaveEvent(event);
}

bool MainView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Hide:
    case QEvent::WindowBlocked:
    case QEvent::UngrabMouse: releaseLostPress(); break;
    default: break;
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto control = controlAt(help->pos());
        const int slot = control ? slotOf(*control) : -1;
        const char* hint = slot >= 0 ? controls_[static_cast<std::size_t>(slot)].entry->hint : nullptr;
        if (hint) {
            QToolTip::showText(help->globalPos(), QString::fromUtf8(hint), this, controlRect(*control));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

} // namespace quelvex
