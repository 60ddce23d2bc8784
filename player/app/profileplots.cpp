#include "player/app/profileplots.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <dlfcn.h>
#include <link.h>

namespace sonaveil::player {

namespace {

// The program's own libraries lie together: in the program folder of a build, in its lib/
// folder when installed. The display library is always loaded (the player links it), so its
// place tells where the plots' library is, whichever program or test asks.
QString librariesFolder()
{
    void* handle = dlopen("liblumidot.so", RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return {};
    link_map* map = nullptr;
    QString folder;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map && map->l_name && *map->l_name)
        folder = QFileInfo(QFile::decodeName(map->l_name)).absolutePath();
    dlclose(handle);
    return folder;
}

struct Loaded {
    ProfilePlots::Maker maker = nullptr;
    QString why;
};

// Loaded once; never unloaded (plots made from it may live as long as the program).
const Loaded& loaded()
{
    static const Loaded library = [] {
        Loaded l;
        const QString folder = librariesFolder();
        if (folder.isEmpty()) {
            l.why = QCoreApplication::translate("sonaveil::player::ProfilePlots", "the program's libraries were not found");
            return l;
        }
        QLibrary file(QDir(folder).filePath(QStringLiteral("libsonaveil-plots.so")));
        if (!file.load()) {
            l.why = file.errorString();
            return l;
        }
        l.maker = reinterpret_cast<ProfilePlots::Maker>(file.resolve(ProfilePlots::kMakerName));
        if (!l.maker)
            l.why = file.errorString();
        return l;
    }();
    return library;
}

} // namespace

ProfilePlots* ProfilePlots::make(QWidget* parent, QString* why)
{
    const Loaded& library = loaded();
    if (!library.maker) {
        if (why)
            *why = library.why;
        return nullptr;
    }
    return library.maker(parent);
}

} // namespace sonaveil::player
