#pragma once

#include <QUrl>

#include <functional>
#include <string>

// What the shell's "open" does for a link: a web or mail address goes to the desktop's handler,
// a DOS-form path (C:\Cavo25\x.log) opens the host file behind it, a bare host name
// (www.example.org) is taken as a web address unless a file of that name is in the working
// directory.
QUrl KivUrlFromTarget(const std::string& target);

// Opens a link target (Windows-1252 bytes) through the opener in use; false when it could not.
bool KivOpenUrl(const std::string& target);

// The opener in use is QDesktopServices::openUrl until one is installed; the guard installs one
// for its life (a test that wants to see what would be opened without a browser starting).
using KivUrlOpener = std::function<bool(const QUrl&)>;

class KivUrlOpenerScope {
public:
    explicit KivUrlOpenerScope(KivUrlOpener opener);
    ~KivUrlOpenerScope();
    KivUrlOpenerScope(const KivUrlOpenerScope&) = delete;
    KivUrlOpenerScope& operator=(const KivUrlOpenerScope&) = delete;

private:
    KivUrlOpener m_previous;
};
