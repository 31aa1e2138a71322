#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace apptest {

/// While alive, the web addresses the program asks the desktop to open are
/// collected here instead of reaching a browser.
class OpenedAddresses : public QObject
{
    Q_OBJECT

public:
    OpenedAddresses()
    {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::setUrlHandler(QLatin1StringView(scheme), this, "Open");
    }
    ~OpenedAddresses() override
    {
        for (const char* scheme : {"http", "https"})
            QDesktopServices::unsetUrlHandler(QLatin1StringView(scheme));
    }
    OpenedAddresses(const OpenedAddresses&) = delete;
    OpenedAddresses& operator=(const OpenedAddresses&) = delete;

    QStringList addresses;

public slots:
    void Open(const QUrl& url) { addresses << url.toString(); }
};

} // namespace apptest
