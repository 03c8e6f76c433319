// The engine's view as a module the program loads beside itself, where the view cannot live in a
// process of its own (Wayland); its memory stays with the program once loaded.
#include "platform/webengine/engine_pane.h"

namespace quelvex {

class WebEngineModule final : public QObject, public WebPaneFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QuelvexWebPaneFactory_iid)
    Q_INTERFACES(quelvex::WebPaneFactory)

  public:
    WebPane* createPane(WebPaneEvents events) override {
        prepareEngineGraphics();
        return createEnginePane(std::move(events));
    }
};

} // namespace quelvex

#include "webengine_module.moc"
