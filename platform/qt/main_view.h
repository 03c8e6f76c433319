// The main window: draws the face as the layout places it and reports the mouse to the model.
// It holds no behaviour; everything it shows comes from the face.
#pragma once

#include "platform/qt/picture_layer.h"
#include "platform/qt/skin_pictures.h"
#include "ui/face_drawing.h"
#include "ui/face_driver.h"
#include "ui/keyboard_focus.h"
#include "ui/pointer_routing.h"

#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <array>
#include <bitset>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quelvex {

class MainView final : public QWidget, public ChangeSink {
    Q_OBJECT

  public:
    // `events` should be the FaceDriver, so that what the model changes comes back here.
    MainView(const Face& face, FaceEvents& events, SkinPictures pictures = SkinPictures::fromResources(),
             QWidget* parent = nullptr);
    ~MainView() override;

    void applyChanges(const FaceChanges& changes) override;

    // The first show tells the model the screen size first, then opens where the model says.
    void setVisible(bool visible) override;

    // While held, a window that is off the screen when the hold starts stays off it even where
    // the face shows it: a picture of the screen is still to be taken by someone else (the
    // desktop portal) after the model has shown the window again. Letting go shows it as the
    // face says.
    void holdHidden(bool hold);

    // Where a control lies now, in window coordinates; empty while it is hidden.
    QRect controlRect(ControlRef control) const;
    // The topmost shown control at a point of the window.
    std::optional<ControlRef> controlAt(QPoint windowPoint) const;

    // The widget that stands for a panel. CppWebBrowser1 starts as a black placeholder.
    QWidget* panelWidget(Panel panel) const;
    // Puts `widget` (the web view) in the panel's place and stacking; it follows the panel's
    // geometry and visibility from then on and takes its own mouse input wherever no shown panel
    // lies over it, but not the keyboard's focus. The view owns it. Meant for CppWebBrowser1,
    // which holds no controls of its own.
    void setPanelWidget(Panel panel, QWidget* widget);

    // The keyboard's focus and what screen readers are told (main_view_accessible.cpp).
    KeyboardFocus& keyboard() { return keys_; }
    const KeyboardFocus& keyboard() const { return keys_; }
    // After the focus or the face changed: moves the mark, and tells assistive technology.
    void followFocus();
    // Shows the emblem on a layer of its own where `makeLayer` gives one once the window exists:
    // it turns twenty times a second, and a turn is then a change of the layer's frame instead of
    // a repaint and a copy of the window's pixels. Wherever the layer cannot show it (a panel over
    // it, a fractional scale, no layer), the view paints it as any other control.
    void setPictureLayer(PictureLayerFactory makeLayer);

    // The menu the face asked for last, while it is open (main_view_menu.cpp).
    QMenu* openMenu() const { return menu_ && menu_->isVisible() ? menu_.data() : nullptr; }

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    QWidget* surfaceOf(Parent surface) const;
    const QFont& fontOf(const FontSpec& wanted) const;
    Size textSize(const FontSpec& font, const std::string& text) const;
    void paintControls(QPainter& painter, Parent surface, const QRect& dirty) const;
    void paintItem(QPainter& painter, const DrawItem& item, qreal ratio) const;
    void paintOnDeviceGrid(QPainter& painter, Image picture, bool seeThrough, const QRect& rect) const;
    void applyPanel(Panel panel);
    void followCovers();
    void applyWindowGeometry();
    // Shown where the face shows the window, unless held off the screen.
    void showAsTheFaceSays();
    // The control shown on the picture layer: the emblem, which turns all the while a count runs.
    static constexpr Image kLayered = Image::logo;
    void followLayer();
    bool layerFits(const QRect& area, qreal ratio) const;
    int layerSlotFor(const QRect& area, qreal ratio);
    QImage renderArea(const QRect& area, qreal ratio) const;
    static Point logical(const QMouseEvent* event);
    void followHover();
    void showMenu();
    void followMenu();

    const Face& face_;
    FaceEvents& events_;
    SkinPictures pictures_;
    mutable std::deque<std::pair<FontSpec, QFont>> fonts_; // references stay valid as it grows
    struct MeasuredText {
        FontSpec font;
        std::string text;
        Size size;
    };
    // Enough for every caption of both languages and the status words; the oldest goes first.
    static constexpr std::size_t kMeasuredTexts = 64;
    mutable std::vector<MeasuredText> measured_;
    FaceDrawing drawing_;
    std::array<QWidget*, kPanelCount> panels_{};
    std::bitset<kPanelCount> ownInput_; // panels given a widget that takes its own input

    enum class FirstShow { Pending, Running, Done };
    FirstShow firstShow_ = FirstShow::Pending;
    bool wayland_ = false;
    bool heldHidden_ = false;
    PointerRouting pointer_{drawing_, events_};
    KeyboardFocus keys_{face_, drawing_, events_};
    std::vector<AccessibleItem> told_; // what assistive technology was last told
    QPointer<QMenu> menu_;

    // A frame of the layer: the emblem's picture over what lay below it when the scene was
    // `scene`, which counts the changes of anything else in the emblem's area.
    struct LayerFrame {
        unsigned scene = 0;
        Image picture = kNoPicture;
        QRect area;
        qreal ratio = 0; // 0: the slot is free
        unsigned lastUsed = 0;
        bool sameFrame(const LayerFrame& o) const {
            return scene == o.scene && picture == o.picture && area == o.area && ratio == o.ratio;
        }
    };
    PictureLayerFactory makeLayer_;
    std::unique_ptr<PictureLayer> layer_;
    // While the layer shows, the window's own pixels below it are not kept up to date: they are
    // repainted when it goes.
    bool layerShown_ = false;
    QRect layerArea_;
    std::array<LayerFrame, PictureLayer::kSlots> layerFrames_;
    unsigned layerScene_ = 0;
    unsigned layerUses_ = 0;
};

} // namespace quelvex
