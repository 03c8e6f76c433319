#include "platform/windows/windows_network.h"

#include <windows.h>
#include <wininet.h>

namespace quelvex {

bool InternetConnection::connected() {
    // How the connection is made (modem, LAN, proxy) does not matter here.
    DWORD how = 7;
    return InternetGetConnectedState(&how, 0) != FALSE;
}

} // namespace quelvex
