#include "tray/DefaultIcon.h"

#include <QString>
#include <initializer_list>

// The resources live in a static library: nothing would pull them into the program unless
// someone calls their initialiser. Outside any namespace, as Q_INIT_RESOURCE requires.
static void initIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

QIcon iconFromFiles(const char* pattern, std::initializer_list<int> sizes)
{
    initIconResources();
    QIcon icon;
    for (const int size : sizes)
        icon.addFile(QString::fromLatin1(pattern).arg(size), QSize(size, size));
    return icon;
}

} // namespace

QIcon programIcon()
{
    return iconFromFiles(":/icons/hicolor/%1x%1/apps/dorvane.png",
                         {16, 22, 24, 32, 48, 64, 128, 256});
}

QIcon aboutIcon()
{
    return iconFromFiles(":/icons/about/about-%1.png", {16, 32, 48, 64, 128});
}
