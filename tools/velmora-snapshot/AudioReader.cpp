#include "tools/velmora-snapshot/AudioReader.h"

#include "tools/support/HostPlatform.h"

#include <algorithm>
#include <cmath>

AudioReader::~AudioReader() {
  if (mFile) sf_close(mFile);
}

bool AudioReader::Open(const std::string& path, std::string* error) {
  SF_INFO info = {};
  mFile = velmora_host::OpenSoundFile(path, SFM_READ, &info);
  mPath = path;
  if (!mFile) {
    *error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (info.channels != 1 && info.channels != 2) {
    *error = path + " has " + std::to_string(info.channels) + " channels; mono or stereo is needed";
    return false;
  }
  if (info.samplerate <= 0) {
    *error = path + " has no usable sample rate";
    return false;
  }
  mChannels = info.channels;
  mRate = info.samplerate;
  mFrames = info.frames > 0 ? static_cast<long long>(info.frames) : 0;
  // Integer formats arrive scaled to -1 .. 1 exactly, without clipping the float ones.
  sf_command(mFile, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
  return true;
}

bool AudioReader::Read(float* left, float* right, int frames, std::string* error) {
  if (frames <= 0) return true;
  mInterleaved.resize(static_cast<size_t>(frames) * static_cast<size_t>(std::max(mChannels, 1)));
  sf_count_t got = mFile ? sf_readf_float(mFile, mInterleaved.data(), frames) : 0;
  bool ok = true;
  if (got < frames && mFile && sf_error(mFile) != SF_ERR_NO_ERROR) {
    *error = "cannot read " + mPath + ": " + sf_strerror(mFile);
    ok = false;
  }
  if (got < 0) got = 0;
  for (sf_count_t f = 0; f < got; ++f) {
    const float* frame = mInterleaved.data() + f * mChannels;
    left[f] = frame[0];
    right[f] = mChannels == 2 ? frame[1] : frame[0];
  }
  std::fill(left + got, left + frames, 0.0f);
  std::fill(right + got, right + frames, 0.0f);
  return ok;
}
