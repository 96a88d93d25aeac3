#pragma once
// Opening web addresses and the help file. The desktop implements it with the
// system's default handlers; the command-line tool and tests use the stand-ins.
#include <string>
#include <vector>

namespace amx {

class Launcher {
public:
    virtual ~Launcher() = default;
    // Asks the system to open the address with its default handler.
    virtual bool OpenAddress(const std::string& address) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // topic 0 opens the contents.
    virtual bool OpenHelpFile(const std::string& path, int topic) = 0;
};

// Opens nothing: there is no browser or help viewer to hand.
class NullLauncher : public Launcher {
public:
    bool OpenAddress(const std::string&) override { return false; }
    bool FileExists(const std::string&) override { return false; }
    bool OpenHelpFile(const std::string&, int) override { return false; }
};

// Keeps every request; the results are set by the test.
class RecordingLauncher : public Launcher {
public:
    bool addressesOpen = true;
    bool helpFileExists = false;
    std::vector<std::string> addresses;
    std::vector<std::pair<std::string, int>> helpOpened;

    bool OpenAddress(const std::string& address) override {
        addresses.push_back(address);
        return addressesOpen;
    }
    bool FileExists(const std::string&) override { return helpFileExists; }
    bool OpenHelpFile(const std::string& path, int topic) override {
        helpOpened.emplace_back(path, topic);
        return helpFileExists;
    }
};

}  // namespace amx
