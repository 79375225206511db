#include "FileWatch.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QStringList>

#include "Controls.h"

struct TFileWatcher::TImpl {
    QFileSystemWatcher Watcher;
};

TFileWatcher::TFileWatcher() : FImpl(std::make_unique<TImpl>()) {
    auto notify = [this](const QString& path) {
        const std::string p = path.toStdString();
        GuardedCall(nullptr, [&] {
            if (OnChange) OnChange(p);
        });
    };
    QObject::connect(&FImpl->Watcher, &QFileSystemWatcher::directoryChanged, &FImpl->Watcher, notify);
    QObject::connect(&FImpl->Watcher, &QFileSystemWatcher::fileChanged, &FImpl->Watcher, notify);
}

TFileWatcher::~TFileWatcher() = default;

void TFileWatcher::SetPaths(const std::vector<std::string>& Paths) {
    QFileSystemWatcher& w = FImpl->Watcher;
    QStringList old = w.files() + w.directories();
    if (!old.isEmpty()) w.removePaths(old);
    QStringList add;
    for (const std::string& p : Paths) add << QString::fromStdString(p);
    if (!add.isEmpty()) w.addPaths(add);
}

bool TFileWatcher::AddPath(const std::string& Path) {
    const QString p = QString::fromStdString(Path);
    QFileSystemWatcher& w = FImpl->Watcher;
    if (w.files().contains(p) || w.directories().contains(p)) return true;
    return w.addPath(p);
}

std::vector<std::string> TFileWatcher::Paths() const {
    std::vector<std::string> out;
    for (const QString& p : FImpl->Watcher.files() + FImpl->Watcher.directories()) out.push_back(p.toStdString());
    return out;
}
