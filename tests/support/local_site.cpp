#include "support/local_site.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace testsupport {

int ClosedLocalPort()
{
    static const int port = [] {
        // Left open on purpose until the process ends: while it is bound, no
        // server can listen on the port, and a connection to it is refused.
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof(address);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return 1; // a privileged port no test server uses
        return static_cast<int>(ntohs(address.sin_port));
    }();
    return port;
}

QString ClosedLocalSiteUrl()
{
    return QStringLiteral("http://127.0.0.1:%1").arg(ClosedLocalPort());
}

void PointSiteAtClosedLocalPort()
{
    qputenv("ZORVANE_SITE_URL", ClosedLocalSiteUrl().toUtf8());
}

} // namespace testsupport
