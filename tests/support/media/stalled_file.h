// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A clip that stops answering, as a file on a network share that hangs does. The file is
// read in full by its first `freeOpenings` openings (measuring it when it is added, say);
// after that it still opens, and each opening is answered for its first `freeReads` reads,
// after which every read of it waits until this object goes away (or its open waits, for
// Stall::Open). So a clip can stop at once, part way through its data after some of its
// pictures were decoded, or already at its open. Only the reading layer's own thread waits;
// what the program does about it is what the tests look at.
#include <memory>
#include <string>

namespace testmedia {

class StalledFile {
public:
    // Where the file stops answering: at its reads (it still opens), or already at its open,
    // as a share whose server went away does.
    enum class Stall { Reads, Open };

    StalledFile(std::string path, int freeOpenings, Stall stall);
    explicit StalledFile(std::string path, int freeOpenings = 0, int freeReads = 0,
                         Stall stall = Stall::Reads);
    ~StalledFile();  // lets the held reads go and takes the hook away
    StalledFile(const StalledFile&) = delete;
    StalledFile& operator=(const StalledFile&) = delete;

    // How many reads are held now.
    int held() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace testmedia
