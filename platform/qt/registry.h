#pragma once
#include <memory>
#include <string>
#include <vector>

// The per-user registry of the program ("Software\Tix\Zelvitor\...") kept in
// a QSettings ini file: key paths become groups ("Options\Forms" → the group
// "Options/Forms"). Machine-wide values are read from the system scope and
// are never written. Booleans are stored as the integers 1 and 0.
namespace Platform {

class TRegistry {
public:
    explicit TRegistry(bool machineWide = false);
    // The key "Software\<organization>\<application>" of another name.
    TRegistry(bool machineWide, const std::string& organization, const std::string& application);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    bool KeyExists(const std::string& keyPath) const;
    bool ValueExists(const std::string& keyPath, const std::string& name) const;
    std::string ReadString(const std::string& keyPath, const std::string& name,
                           const std::string& def) const;
    int ReadInteger(const std::string& keyPath, const std::string& name, int def) const;
    bool ReadBool(const std::string& keyPath, const std::string& name, bool def) const;

    // False for a machine-wide store or when the value could not be stored.
    bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value);
    bool WriteInteger(const std::string& keyPath, const std::string& name, int value);
    bool WriteBool(const std::string& keyPath, const std::string& name, bool value);

    bool DeleteValue(const std::string& keyPath, const std::string& name);
    bool DeleteKey(const std::string& keyPath);
    std::vector<std::string> GetValueNames(const std::string& keyPath) const;
    std::vector<std::string> GetKeyNames(const std::string& keyPath) const;
    void Sync();

    // "Options\Forms" → "Options/Forms".
    static std::string GroupOf(const std::string& keyPath);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    bool machineWide_;
};

}  // namespace Platform
