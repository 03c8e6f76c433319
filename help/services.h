// What the links and the web strip need from the platform.
#pragma once

#include <string>

namespace quelvex {

class Shell {
  public:
    virtual ~Shell() = default;
    // Opens an address in the user's default browser; a failure has no effect.
    virtual void openUrl(const std::string& url) = 0;
};

class Network {
  public:
    virtual ~Network() = default;
    // Whether the system considers itself connected to the Internet now.
    virtual bool connected() = 0;
};

// The embedded web view in the strip's place. It reports the arrival of a document and the end of
// a load as events (a title change, a finished load) to the window model.
class WebView {
  public:
    virtual ~WebView() = default;
    // Starts loading an address and returns at once.
    virtual void navigate(const std::string& url) = 0;
    // The full address of the document shown now.
    virtual std::string location() = 0;
};

struct WebServices {
    Shell& shell;
    Network& network;
    WebView& web;
    // Services for a window that never goes online and opens nothing.
    static WebServices none();
};

} // namespace quelvex
