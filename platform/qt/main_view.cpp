#include "platform/qt/main_view.h"

#include "platform/qt/main_view_accessible.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
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

QRect toQRect(const Rect& r) {
    return {r.left, r.top, r.width, r.height};
}

Rect fromQRect(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

std::optional<Key> keyOf(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::nullopt;
    switch (event->key()) {
    case Qt::Key_Tab: return event->modifiers() & Qt::ShiftModifier ? Key::BackTab : Key::Tab;
    case Qt::Key_Backtab: return Key::BackTab;
    case Qt::Key_Space: return Key::Space;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Key::Enter;
    case Qt::Key_Up: return Key::Up;
    case Qt::Key_Down: return Key::Down;
    case Qt::Key_Escape: return Key::Escape;
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
      pictures_(std::move(pictures)),
      drawing_(face, [this](const FontSpec& font, const std::string& text) { return textSize(font, text); }) {
    setWindowTitle(QStringLiteral("Quelvex 5.0"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    installMainViewAccessibility();
    wayland_ = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));

    // Created in stacking order, so later panels lie over earlier ones.
    for (Panel panel : drawing_.panelOrder()) {
        std::function<void(QPainter&, const QRect&)> paint;
        if (const auto surface = FaceDrawing::surfaceOf(panel))
            paint = [this, s = *surface](QPainter& p, const QRect& dirty) { paintControls(p, s, dirty); };
        panels_[static_cast<std::size_t>(panel)] =
            new PanelSurface(this, rgb(drawing_.entry(panel).color), std::move(paint));
        applyPanel(panel);
    }
    applyWindowGeometry();
}

const QFont& MainView::fontOf(const FontSpec& wanted) const {
    // A handful of label fonts, each made once.
    for (const auto& [s, font] : fonts_)
        if (s == wanted) return font;
    return fonts_.emplace_back(wanted, fontFor(wanted)).second;
}

// Every paint places each label of the surface, and shaping its text costs more than drawing the
// emblem's frame; the captions change only with the language and the status, so each is shaped once.
Size MainView::textSize(const FontSpec& font, const std::string& text) const {
    for (const MeasuredText& m : measured_)
        if (m.text == text && m.font == font) return m.size;
    const QFontMetrics metrics(fontOf(font));
    const Size size{metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
    if (measured_.size() >= kMeasuredTexts) measured_.erase(measured_.begin());
    measured_.push_back({font, text, size});
    return size;
}

MainView::~MainView() = default;

QWidget* MainView::surfaceOf(Parent surface) const {
    const auto panel = FaceDrawing::panelOf(surface);
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
    // The keys are the face's, which Tab walks: the widget would take them while it has the focus.
    widget->setFocusPolicy(Qt::NoFocus);
    delete std::exchange(slot, widget);
    ownInput_.set(static_cast<std::size_t>(panel));
    applyPanel(panel);
    // A native widget (the engine's) makes its siblings native too, and its window, made last,
    // lies over theirs: stackUnder does not restack native windows. The link bar, repainted under
    // it, kept its old captions on the screen. Raising the panels above it restacks their windows.
    const auto& order = drawing_.panelOrder();
    auto above = std::find(order.begin(), order.end(), panel);
    if (above != order.end()) ++above;
    for (; above != order.end(); ++above)
        panels_[static_cast<std::size_t>(*above)]->raise();
}

QRect MainView::controlRect(ControlRef control) const {
    return toQRect(drawing_.controlRect(control));
}

std::optional<ControlRef> MainView::controlAt(QPoint point) const {
    return drawing_.controlAt({point.x(), point.y()});
}

void MainView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    // The window's own colour shows only below the open options panel.
    painter.fillRect(event->rect(), palette().color(QPalette::Button));
    paintControls(painter, Parent::Window, event->rect());
}

void MainView::paintControls(QPainter& painter, Parent surface, const QRect& dirty) const {
    const qreal ratio = ratioOf(painter);
    drawing_.paint(surface, fromQRect(dirty), [&](const DrawItem& item) { paintItem(painter, item, ratio); });
}

void MainView::paintItem(QPainter& painter, const DrawItem& item, qreal ratio) const {
    const QRect r = toQRect(item.rect);
    switch (item.what) {
    case DrawItem::What::Picture: {
        // The 1x pictures at 1x; the 2x pictures at 2x, or doubled again at 4x, stay crisp as they
        // are. Any other ratio (1.25, 1.5, 3) takes pictures resampled to the device's grid.
        if (!picturesDrawnAsTheyAre(ratio)) {
            paintOnDeviceGrid(painter, item.picture, item.seeThrough, r);
            return;
        }
        const QPixmap& pixmap = item.seeThrough ? pictures_.seeThrough(item.picture, ratio)
                                                : pictures_.pixmap(item.picture, ratio);
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
    case DrawItem::What::Text:
        painter.setFont(fontOf(*item.font));
        painter.setPen(rgb(item.color));
        painter.drawText(r, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromStdString(*item.text));
        return;
    case DrawItem::What::Gauge:
        painter.fillRect(QRect(r.left(), r.top(), item.filledWidth, r.height()), rgb(kGaugeFilledColor));
        painter.fillRect(
            QRect(r.left() + item.filledWidth, r.top(), r.width() - item.filledWidth, r.height()),
            rgb(kGaugeEmptyColor));
        return;
    case DrawItem::What::FocusMark: {
        // Whole device pixels on the device's grid, as crisp at 1.5 as at 1.
        const QTransform toDevice = painter.deviceTransform();
        const QRectF exact = toDevice.mapRect(QRectF(r));
        const Rect device = onDeviceGrid(exact.left(), exact.top(), exact.right(), exact.bottom());
        painter.save();
        painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
        for (const MarkEdge& edge : focusMarkEdges(device, ratio))
            painter.fillRect(toQRect(edge.rect), rgb(edge.color));
        painter.restore();
        return;
    }
    }
}

// At a ratio like 1.5 the picture is resampled to exactly the device pixels its rectangle covers
// once on the device's grid, and drawn 1:1, so none is blurred by a half-pixel offset.
void MainView::paintOnDeviceGrid(QPainter& painter, Image picture, bool seeThrough, const QRect& r) const {
    const QSize size = pictures_.pixmap(picture, 1.0).size();
    if (size.isEmpty()) return;
    const QTransform toDevice = painter.deviceTransform();
    const auto snapped = [&toDevice](const QRect& logical) {
        const QRectF exact = toDevice.mapRect(QRectF(logical));
        return toQRect(onDeviceGrid(exact.left(), exact.top(), exact.right(), exact.bottom()));
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

void MainView::applyPanel(Panel panel) {
    QWidget* widget = panels_[static_cast<std::size_t>(panel)];
    const PanelState& p = face_.panel(panel);
    widget->setGeometry(p.left, p.top, p.width, p.height);
    widget->setVisible(p.visible);
    followCovers();
}

// The panels let the mouse through to the view, which hit-tests them; a widget of its own below
// one (the web view under the link bar) would take every press on the panel's controls. It takes
// the mouse only while no shown panel lies over it.
void MainView::followCovers() {
    const auto& order = drawing_.panelOrder();
    for (auto it = order.begin(); it != order.end(); ++it) {
        QWidget* widget = panels_[static_cast<std::size_t>(*it)];
        if (!ownInput_.test(static_cast<std::size_t>(*it))) continue;
        const PanelState& own = face_.panel(*it);
        const QRect area(own.left, own.top, own.width, own.height);
        const bool covered = std::any_of(std::next(it), order.end(), [&](Panel above) {
            const PanelState& p = face_.panel(above);
            return p.visible && area.intersects(QRect(p.left, p.top, p.width, p.height));
        });
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, covered);
    }
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
    // The emblem's own change apart from the others: only they make the layer's frames stale.
    const auto layered = static_cast<std::size_t>(kLayered);
    const bool ownChange = makeLayer_ && changes.images.test(layered);
    FaceChanges others = changes;
    if (ownChange) others.images.reset(layered);
    std::vector<DirtyArea> areas = drawing_.changedAreas(others);
    bool sceneChanged = false;
    if (makeLayer_) {
        const QRect under = controlRect(kLayered);
        for (const DirtyArea& area : areas)
            if (area.surface == Parent::Window &&
                (toQRect(area.rect).intersects(under) || (layerShown_ && toQRect(area.rect).intersects(layerArea_))))
                sceneChanged = true;
    }
    if (ownChange) {
        FaceChanges own;
        own.images.set(layered);
        for (const DirtyArea& area : drawing_.changedAreas(own))
            areas.push_back(area);
    }
    for (const DirtyArea& area : areas) {
        const QRect r = toQRect(area.rect);
        // The layer shows it; followLayer repaints the area if the layer goes.
        if (layerShown_ && area.surface == Parent::Window && layerArea_.contains(r)) continue;
        surfaceOf(area.surface)->update(r);
    }
    if (changes.window) {
        applyWindowGeometry();
        showAsTheFaceSays();
    }
    if (sceneChanged) ++layerScene_;
    if (makeLayer_ && (ownChange || sceneChanged || changes.panels.any() || changes.window)) followLayer();
    if (changes.minimiseRequests && firstShow_ == FirstShow::Done) showMinimized();
    followMenu();
    if (changes.menuRequests) showMenu();
    followFocus();
    if (changes.closeRequested) close();
}

void MainView::followFocus() {
    for (const DirtyArea& area : drawing_.setFocusMark(keys_.mark()))
        surfaceOf(area.surface)->update(toQRect(area.rect));
    tellMainViewAccessibility(*this, told_);
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

Point MainView::logical(const QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    return {p.x(), p.y()};
}

void MainView::followHover() {
    const auto under = pointer_.hover();
    setCursor(under && drawing_.entry(*under).handCursor ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void MainView::mousePressEvent(QMouseEvent* event) {
    const auto button = buttonOf(event->button());
    if (!button) return;
    const auto target = pointer_.press(*button, logical(event), event->buttons() == event->button());
    if (target && *button == MouseButton::Left) {
        keys_.pointed(*target);
        followFocus();
    }
    // Wayland ignores a window that moves itself; the compositor drags it instead.
    const bool dragArea = target == ControlRef(Image::modulo1) || target == ControlRef(Image::modulo2);
    if (wayland_ && dragArea && *button == MouseButton::Left && windowHandle())
        windowHandle()->startSystemMove();
}

void MainView::mouseReleaseEvent(QMouseEvent* event) {
    if (const auto button = buttonOf(event->button()))
        pointer_.release(*button, logical(event), event->buttons() == Qt::NoButton);
    else if (event->buttons() == Qt::NoButton)
        pointer_.releaseLostPress();
}

void MainView::mouseMoveEvent(QMouseEvent* event) {
    pointer_.move(logical(event), event->buttons() != Qt::NoButton);
    followHover();
}

void MainView::leaveEvent(QEvent* event) {
    pointer_.left();
    followHover();
    QWidget::leaveEvent(event);
}

bool MainView::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Hide:
    case QEvent::WindowBlocked:
    case QEvent::UngrabMouse: pointer_.releaseLostPress(); break;
    default: break;
    }
    if (event->type() == QEvent::KeyPress) {
        if (const auto key = keyOf(static_cast<QKeyEvent*>(event))) {
            keys_.key(*key);
            followFocus();
            return true;
        }
    }
    if (event->type() == QEvent::PaletteChange && layerShown_) {
        // The window's colour lies below the emblem in every frame.
        ++layerScene_;
        followLayer();
    }
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto control = controlAt(help->pos());
        const char* hint = control ? drawing_.entry(*control).hint : nullptr;
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
