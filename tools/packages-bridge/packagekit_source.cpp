// PackageKit's own client library and GLib come first: their headers use
// names that Qt's keyword macros would otherwise rewrite.
#include <packagekit-glib2/packagekit.h>

#include "packagekit_source.h"

#include "desktop_entry.h"
#include "glib_handles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

namespace packagesbridge {

namespace {

/// How often progress may add a line to the log.
constexpr qint64 ProgressIntervalMs = 300;

QString FromUtf8(const char* text)
{
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

/// One installed package or offered update.
struct Package
{
    QString id; ///< PackageKit's "name;version;arch;data"
    QString name;
    QString version;
    QString arch;
    PkInfoEnum info = PK_INFO_ENUM_UNKNOWN;
};

QList<Package> PackagesOf(PkResults* results)
{
    QList<Package> packages;
    const PtrArrayPtr array(pk_results_get_package_array(results));
    for (guint i = 0; array && i < array->len; ++i) {
        auto* package = static_cast<PkPackage*>(g_ptr_array_index(array.get(), i));
        packages.append({FromUtf8(pk_package_get_id(package)), FromUtf8(pk_package_get_name(package)),
                         FromUtf8(pk_package_get_version(package)), FromUtf8(pk_package_get_arch(package)),
                         pk_package_get_info(package)});
    }
    return packages;
}

QString ErrorText(const GError* error)
{
    return error != nullptr ? FromUtf8(error->message) : QStringLiteral("PackageKit gave no reason");
}

/// Whether `error` is PackageKit saying that polkit refused.
bool Refused(const GError* error)
{
    return error != nullptr && error->domain == PK_CLIENT_ERROR &&
           (error->code == PK_CLIENT_ERROR_FAILED_AUTH || error->code == 0xff + PK_ERROR_ENUM_NOT_AUTHORIZED);
}

/// The shown name of the first desktop entry among `files` that menus show;
/// empty when none does.
QString DesktopEntryName(const QStringList& files)
{
    for (const QString& path : files) {
        if (!path.startsWith(QLatin1String("/usr/share/applications/")) || !path.endsWith(QLatin1String(".desktop")))
            continue;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString name = ShownDesktopName(QString::fromUtf8(file.read(1024 * 1024)));
        if (!name.isEmpty())
            return name;
    }
    return QString();
}

/// What the machine has: installed applications with their shown names,
/// and every pending update.
struct Installed
{
    QList<Package> apps;
    QHash<QString, QString> shownNames; ///< package id to desktop entry name
    QList<Package> updates;
    QSet<QString> names; ///< "name" of every installed app, to tell two architectures apart
    QString problem;
};

Installed ReadInstalled(PkClient* client)
{
    Installed installed;
    GError* raw = nullptr;
    const PkBitfield appFilter = pk_bitfield_from_enums(PK_FILTER_ENUM_INSTALLED, PK_FILTER_ENUM_APPLICATION, -1);
    const GObjectPtr<PkResults> apps(pk_client_get_packages(client, appFilter, nullptr, nullptr, nullptr, &raw));
    if (!apps) {
        const ErrorPtr error(raw);
        installed.problem =
            QStringLiteral("PackageKit could not list the installed packages: ") + ErrorText(error.get());
        return installed;
    }
    installed.apps = PackagesOf(apps.get());
    const GObjectPtr<PkResults> updates(
        pk_client_get_updates(client, pk_bitfield_value(PK_FILTER_ENUM_NONE), nullptr, nullptr, nullptr, &raw));
    if (!updates) {
        const ErrorPtr error(raw);
        installed.problem = QStringLiteral("PackageKit could not list the updates: ") + ErrorText(error.get());
        return installed;
    }
    installed.updates = PackagesOf(updates.get());
    if (installed.apps.isEmpty())
        return installed;

    QList<QByteArray> ids;
    for (const Package& app : installed.apps)
        ids << app.id.toUtf8();
    std::vector<gchar*> idArray;
    for (QByteArray& id : ids)
        idArray.push_back(id.data());
    idArray.push_back(nullptr);
    const GObjectPtr<PkResults> files(pk_client_get_files(client, idArray.data(), nullptr, nullptr, nullptr, &raw));
    const ErrorPtr filesError(raw);
    const PtrArrayPtr fileLists(files ? pk_results_get_files_array(files.get()) : nullptr);
    for (guint i = 0; fileLists && i < fileLists->len; ++i) {
        auto* list = static_cast<PkFiles*>(g_ptr_array_index(fileLists.get(), i));
        QStringList paths;
        for (gchar** path = pk_files_get_files(list); path != nullptr && *path != nullptr; ++path)
            paths << FromUtf8(*path);
        installed.shownNames.insert(FromUtf8(pk_files_get_package_id(list)), DesktopEntryName(paths));
    }
    return installed;
}

/// The identifier of `package` in the table: its name, qualified by its
/// architecture only where another architecture of it is installed too.
QString IdentifierOf(const Package& package, const QList<Package>& apps)
{
    for (const Package& other : apps) {
        if (other.name == package.name && other.arch != package.arch)
            return package.name + u':' + package.arch;
    }
    return package.name;
}

const Package* UpdateFor(const Package& installed, const QList<Package>& updates)
{
    for (const Package& update : updates) {
        if (update.name == installed.name && (update.arch == installed.arch || update.arch == QLatin1String("all") ||
                                              installed.arch == QLatin1String("all")))
            return &update;
    }
    return nullptr;
}

bool IsSecurity(const Package& update)
{
    return update.info == PK_INFO_ENUM_SECURITY || update.info == PK_INFO_ENUM_CRITICAL;
}

/// The updates of packages that are no listed application.
QList<Package> SystemUpdates(const Installed& installed)
{
    QList<Package> system;
    for (const Package& update : installed.updates) {
        bool isApp = false;
        for (const Package& app : installed.apps)
            isApp = isApp || (app.name == update.name && !installed.shownNames.value(app.id).isEmpty());
        if (!isApp)
            system << update;
    }
    return system;
}

/// Turns PackageKit's progress into log lines, a few a second at most; a
/// change of status always gets its line.
class ProgressLines
{
public:
    explicit ProgressLines(const std::function<void(const QString&)>& say) : say_(say) { clock_.start(); }

    static void Callback(PkProgress* progress, PkProgressType type, gpointer data)
    {
        static_cast<ProgressLines*>(data)->Take(progress, type);
    }

private:
    void Take(PkProgress* progress, PkProgressType type)
    {
        if (type == PK_PROGRESS_TYPE_STATUS) {
            const PkStatusEnum status = pk_progress_get_status(progress);
            if (status == status_)
                return;
            status_ = status;
            if (status == PK_STATUS_ENUM_WAITING_FOR_LOCK)
                say_(QStringLiteral("Waiting for another package manager to finish..."));
            else if (status == PK_STATUS_ENUM_WAITING_FOR_AUTH)
                say_(QStringLiteral("Waiting for authorisation..."));
            else if (status != PK_STATUS_ENUM_UNKNOWN)
                say_(QStringLiteral("Status: ") + FromUtf8(pk_status_enum_to_string(status)));
            return;
        }
        QString line;
        if (type == PK_PROGRESS_TYPE_PERCENTAGE) {
            const int percent = pk_progress_get_percentage(progress);
            if (percent < 0 || percent > 100 || percent == percent_)
                return;
            percent_ = percent;
            line = QStringLiteral("Progress %1 %").arg(percent);
        } else if (type == PK_PROGRESS_TYPE_ITEM_PROGRESS) {
            PkItemProgress* item = pk_progress_get_item_progress(progress);
            if (item == nullptr)
                return;
            const QString id = FromUtf8(pk_item_progress_get_package_id(item));
            line = QStringLiteral("%1: %2 % (%3)")
                       .arg(id.section(u';', 0, 0), QString::number(pk_item_progress_get_percentage(item)),
                            FromUtf8(pk_status_enum_to_string(pk_item_progress_get_status(item))));
        } else {
            return;
        }
        if (lastLineMs_ >= 0 && clock_.elapsed() - lastLineMs_ < ProgressIntervalMs && percent_ != 100)
            return;
        lastLineMs_ = clock_.elapsed();
        say_(line);
    }

    const std::function<void(const QString&)>& say_;
    QElapsedTimer clock_;
    qint64 lastLineMs_ = -1;
    PkStatusEnum status_ = PK_STATUS_ENUM_UNKNOWN;
    int percent_ = -1;
};

/// The installed version of the package `name` (and `arch`); empty when it
/// is not installed.
QString InstalledVersion(PkClient* client, const QString& name, const QString& arch)
{
    const QByteArray wanted = name.toUtf8();
    gchar* names[] = {const_cast<gchar*>(wanted.constData()), nullptr};
    GError* raw = nullptr;
    const GObjectPtr<PkResults> results(
        pk_client_resolve(client, pk_bitfield_value(PK_FILTER_ENUM_INSTALLED), names, nullptr, nullptr, nullptr, &raw));
    const ErrorPtr error(raw);
    for (const Package& package : results ? PackagesOf(results.get()) : QList<Package>()) {
        if (package.name == name && (arch.isEmpty() || package.arch == arch))
            return package.version;
    }
    return QString();
}

} // namespace

PackageKitRows ListPackageKitApps()
{
    const GObjectPtr<PkClient> client(pk_client_new());
    pk_client_set_interactive(client.get(), FALSE);
    const Installed installed = ReadInstalled(client.get());
    if (!installed.problem.isEmpty())
        return {{}, installed.problem};
    PackageKitRows listed;
    for (const Package& app : installed.apps) {
        const QString shown = installed.shownNames.value(app.id);
        if (shown.isEmpty())
            continue;
        const Package* update = UpdateFor(app, installed.updates);
        QString source = QStringLiteral("packages");
        if (update != nullptr && IsSecurity(*update))
            source += QStringLiteral(" (security)");
        listed.rows.append({shown, IdentifierOf(app, installed.apps), app.version,
                            update != nullptr ? update->version : QString(), source});
    }
    const QList<Package> system = SystemUpdates(installed);
    if (!system.isEmpty()) {
        qsizetype security = 0;
        for (const Package& update : system)
            security += IsSecurity(update) ? 1 : 0;
        QString source = QStringLiteral("packages");
        if (security > 0)
            source += QStringLiteral(" (%1 security)").arg(security);
        listed.rows.append(
            {SystemPackagesName, SystemPackagesIdentifier, QString(),
             system.size() == 1 ? QStringLiteral("1 update") : QStringLiteral("%1 updates").arg(system.size()),
             source});
    }
    return listed;
}

PackageKitUpgrade UpgradeWithPackageKit(const QString& target, bool byIdentifier,
                                        const std::function<void(const QString&)>& say)
{
    const GObjectPtr<PkClient> client(pk_client_new());
    // The desktop's password dialog may ask; nothing else waits on it.
    pk_client_set_interactive(client.get(), TRUE);
    const Installed installed = ReadInstalled(client.get());
    const auto failed = [](const QString& reason) {
        return PackageKitUpgrade{PackageKitUpgrade::Outcome::Failed, QString(), reason};
    };
    if (!installed.problem.isEmpty())
        return failed(installed.problem);

    QList<Package> updates;
    const Package* app = nullptr;
    QString shownTarget = target;
    if (byIdentifier && target == SystemPackagesIdentifier) {
        updates = SystemUpdates(installed);
        shownTarget = SystemPackagesName;
    } else {
        for (const Package& candidate : installed.apps) {
            const bool matches = byIdentifier ? IdentifierOf(candidate, installed.apps) == target
                                              : installed.shownNames.value(candidate.id) == target;
            if (matches && !installed.shownNames.value(candidate.id).isEmpty()) {
                app = &candidate;
                break;
            }
        }
        if (app == nullptr)
            return {};
        if (const Package* update = UpdateFor(*app, installed.updates))
            updates << *update;
    }
    if (updates.isEmpty()) {
        return {PackageKitUpgrade::Outcome::Succeeded, app != nullptr ? app->name + u' ' + app->version : shownTarget,
                QString()};
    }

    QList<QByteArray> ids;
    for (const Package& update : updates)
        ids << update.id.toUtf8();
    std::vector<gchar*> idArray;
    for (QByteArray& id : ids)
        idArray.push_back(id.data());
    idArray.push_back(nullptr);
    ProgressLines progress(say);
    GError* raw = nullptr;
    const GObjectPtr<PkResults> results(
        pk_client_update_packages(client.get(), pk_bitfield_value(PK_TRANSACTION_FLAG_ENUM_ONLY_TRUSTED),
                                  idArray.data(), nullptr, &ProgressLines::Callback, &progress, &raw));
    const ErrorPtr error(raw);
    if (Refused(error.get()))
        return failed(QStringLiteral("authorisation was refused"));
    if (!results)
        return failed(QStringLiteral("PackageKit could not update: ") + ErrorText(error.get()));
    if (PkError* code = pk_results_get_error_code(results.get())) {
        const GObjectPtr<PkError> owned(code);
        if (pk_error_get_code(code) == PK_ERROR_ENUM_NOT_AUTHORIZED)
            return failed(QStringLiteral("authorisation was refused"));
        return failed(QStringLiteral("PackageKit could not update: ") + FromUtf8(pk_error_get_details(code)));
    }
    if (pk_results_get_exit_code(results.get()) != PK_EXIT_ENUM_SUCCESS)
        return failed(QStringLiteral("PackageKit did not finish the update"));
    const PkRestartEnum restart = pk_results_get_require_restart_worst(results.get());
    if (restart != PK_RESTART_ENUM_NONE && restart != PK_RESTART_ENUM_UNKNOWN)
        say(QStringLiteral("A restart is needed to finish the update: ") +
            FromUtf8(pk_restart_enum_to_string(restart)));

    // Done is the package at the version offered, not the daemon's word.
    for (const Package& update : updates) {
        if (InstalledVersion(client.get(), update.name,
                             update.arch == QLatin1String("all") ? QString() : update.arch) != update.version)
            return failed(QStringLiteral("%1 is not at version %2 after the update").arg(update.name, update.version));
    }
    return {PackageKitUpgrade::Outcome::Succeeded,
            app != nullptr ? app->name + u' ' + updates.front().version : shownTarget, QString()};
}

} // namespace packagesbridge
