#pragma once
// Change notification for folders and files (inotify, through Qt's file
// watcher). OnChange runs on the GUI thread from the message loop, once per
// notification, with the folder or file that changed; what changed is for the
// caller to find out.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFileWatcher {
public:
    TFileWatcher();
    ~TFileWatcher();
    TFileWatcher(const TFileWatcher&) = delete;
    TFileWatcher& operator=(const TFileWatcher&) = delete;

    // Replaces the watched paths; paths that do not exist are skipped.
    void SetPaths(const std::vector<std::string>& Paths);
    // Adds one path (again, after a file was replaced); false when it cannot be watched.
    bool AddPath(const std::string& Path);
    std::vector<std::string> Paths() const;

    std::function<void(const std::string& Path)> OnChange;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
