#pragma once
// Where the logon task lives: XDG autostart entries (<name>.desktop) in one folder.
// Every call returns 0 or the errno value of the call that failed.

#include <string>

namespace platform {

class ILogonTaskStore {
public:
    virtual ~ILogonTaskStore() = default;
    // 0 when the entry exists, ENOENT when it does not, another errno when it cannot be told.
    virtual int Exists(const std::string& name) const = 0;
    virtual int Remove(const std::string& name) = 0;
    // Creates the folder when missing and replaces the entry atomically.
    virtual int Write(const std::string& name, const std::string& contents) = 0;
    virtual std::string EntryPath(const std::string& name) const = 0;
};

class XdgAutostartStore final : public ILogonTaskStore {
public:
    explicit XdgAutostartStore(std::string folder) : folder_(std::move(folder)) {}
    // The folder for this process: /etc/xdg/autostart for root, else $XDG_CONFIG_HOME/autostart.
    static std::string DefaultFolder(bool elevated);

    int Exists(const std::string& name) const override;
    int Remove(const std::string& name) override;
    int Write(const std::string& name, const std::string& contents) override;
    std::string EntryPath(const std::string& name) const override;

private:
    std::string folder_;
};

}  // namespace platform
