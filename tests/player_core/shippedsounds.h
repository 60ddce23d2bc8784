#pragma once

#include "synth/digest.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>

// Writes `files` (paths such as "bin/1.isz") into the program folder `folder` as the files we
// ship: each holds "shipped " and its path, and the folder's digest list names it.
inline void writeShippedSounds(const std::filesystem::path& folder, std::initializer_list<const char*> files)
{
    std::filesystem::create_directories(folder / "bin");
    std::map<std::string, std::uint64_t> digests;
    for (const char* file : files) {
        writeFileText(folder / file, std::string("shipped ") + file);
        digests[file] = *sonaveil::synth::fileDigest((folder / file).string());
    }
    EXPECT_EQ(sonaveil::synth::writeDigests((folder / sonaveil::synth::kDigestFile).string(), digests), "");
}
