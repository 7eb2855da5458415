#pragma once

#include "support/temp_dir.h"

#include <optional>
#include <string>

namespace reelbond::test {

// A share \\server\share with a directory "a" holding clip.mpg: under Wine, network paths
// lead into the prefix's dosdevices\unc folder, where the server is a fresh directory.
class NetworkShare {
public:
    NetworkShare();

    // \\server\share, empty where no share could be made.
    const std::string& root() const { return root_; }
    // The share's directory by its path on a drive.
    std::string LocalPath() const { return *server_ / "share"; }

private:
    std::optional<TempDir> server_;
    std::string root_;
};

} // namespace reelbond::test
