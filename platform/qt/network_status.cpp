#include "platform/qt/network_status.h"

#include <QHostAddress>
#include <QNetworkInformation>
#include <QNetworkInterface>

namespace quelvex {
namespace {

constexpr qint64 kScanEveryMs = 5000;

bool routable(const QHostAddress& a) {
    return !a.isLoopback() && !a.isLinkLocal() && !a.isNull() && !a.isMulticast();
}

} // namespace

bool NetworkStatus::connected() {
    if (!backendTried_) {
        backendTried_ = true;
        backend_ = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    }
    // The backend keeps its answer up to date from the system's own signals; reading it is free.
    if (backend_) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Online: return true;
        case QNetworkInformation::Reachability::Unknown: break;
        default: return false;
        }
    }
    return interfacesLookOnline();
}

bool NetworkStatus::interfacesLookOnline() {
    if (scanned_ && sinceScan_.elapsed() < kScanEveryMs) return interfacesOnline_;
    scanned_ = true;
    sinceScan_.start();
    interfacesOnline_ = false;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& i : interfaces) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsLoopBack) || !flags.testFlag(QNetworkInterface::IsUp) ||
            !flags.testFlag(QNetworkInterface::IsRunning))
            continue;
        const auto entries = i.addressEntries();
        for (const QNetworkAddressEntry& e : entries)
            if (routable(e.ip())) interfacesOnline_ = true;
    }
    return interfacesOnline_;
}

} // namespace quelvex
