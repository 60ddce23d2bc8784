#pragma once

#include "audio/sample.h"

#include <memory>

namespace sonaveil::audio {

// Makes version `k` of a ready sample (see Sample::versions): the sound at twice its frame rate
// with nothing above 0.5 / Sample::speedOfVersion(k) cycles per original frame, so that played at
// any speed up to that one nothing lands above the output's Nyquist frequency. The filtering is
// circular over the whole sample, so a loop stays seamless. Nothing for an empty sample.
std::unique_ptr<Sample> makeBandLimitedVersion(const Sample& sample, int k);

// Builds version `k` of `sample` unless it exists, and publishes it for the mixer. Only one
// thread at a time may build versions of one sample.
void ensureVersion(Sample& sample, int k);

} // namespace sonaveil::audio
