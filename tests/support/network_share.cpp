#include "support/network_share.h"

#include <algorithm>
#include <windows.h>

namespace reelbond::test {

NetworkShare::NetworkShare() {
    char prefix[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return;
    std::string unc = "Z:" + std::string(prefix, length) + "\\dosdevices\\unc\\";
    std::replace(unc.begin(), unc.end(), '/', '\\');
    CreateDirectoryA(unc.c_str(), nullptr);
    server_.emplace(unc);
    MakeFolders(LocalPath() + "\\a");
    WriteBytes(LocalPath() + "\\a\\clip.mpg", "x");
    root_ = "\\\\" + server_->path().substr(unc.size()) + "\\share";
}

} // namespace reelbond::test
