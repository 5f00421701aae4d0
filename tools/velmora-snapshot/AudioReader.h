#pragma once
// Reads an audio file (anything libsndfile opens) block by block as a stereo pair: a mono file
// feeds both channels. Memory stays the size of one block whatever the file's length.

#include <sndfile.h>

#include <string>
#include <vector>

class AudioReader {
public:
  AudioReader() = default;
  ~AudioReader();
  AudioReader(const AudioReader&) = delete;
  AudioReader& operator=(const AudioReader&) = delete;

  // False with a one-line reason in *error when the file cannot be opened, is not mono or
  // stereo, or has no usable sample rate.
  bool Open(const std::string& path, std::string* error);

  double SampleRate() const { return mRate; }
  long long Frames() const { return mFrames; }
  const std::string& Path() const { return mPath; }

  // Reads up to frames frames into left and right and fills the rest of the block with silence
  // (past the end of the file, or after a read error, which *error then names). Answers false
  // only on a read error.
  bool Read(float* left, float* right, int frames, std::string* error);

private:
  SNDFILE* mFile = nullptr;
  std::string mPath;
  int mChannels = 0;
  double mRate = 0.0;
  long long mFrames = 0;
  std::vector<float> mInterleaved;
};
