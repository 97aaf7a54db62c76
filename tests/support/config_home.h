#pragma once
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

// A private XDG_CONFIG_HOME for the life of the object, so per-user
// settings go to a temporary folder; the previous value comes back at the
// end, even when an assertion ended the test early.
namespace TestSupport {

class PrivateConfigHome {
public:
    PrivateConfigHome()
    {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
            hadOld_ = true;
            old_ = old;
        }
        if (dir_.isValid())
            ::setenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit().constData(), 1);
    }
    ~PrivateConfigHome()
    {
        if (hadOld_)
            ::setenv("XDG_CONFIG_HOME", old_.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
    PrivateConfigHome(const PrivateConfigHome&) = delete;
    PrivateConfigHome& operator=(const PrivateConfigHome&) = delete;

    bool IsValid() const { return dir_.isValid(); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    bool hadOld_ = false;
    std::string old_;
};

}  // namespace TestSupport
