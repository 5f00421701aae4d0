#pragma once
// Two pieces of work timed alternately, block by block, and stated as a ratio: the median over
// groups of about 2 ms of (first's time / second's time). A busy machine slows both alike, so
// the ratio holds where absolute times do not.

#include <algorithm>
#include <chrono>
#include <vector>

class PairedTimer {
public:
  using Clock = std::chrono::steady_clock;

  // Runs first, then second; answers the seconds first took.
  template <class First, class Second>
  double Time(First first, Second second) {
    const Clock::time_point t0 = Clock::now();
    first();
    const Clock::time_point t1 = Clock::now();
    second();
    const Clock::time_point t2 = Clock::now();
    const double a = std::chrono::duration<double>(t1 - t0).count();
    const double b = std::chrono::duration<double>(t2 - t1).count();
    mFirstTotal += a;
    mSecondTotal += b;
    mGroupFirst += a;
    mGroupSecond += b;
    if (mGroupFirst + mGroupSecond > 2e-3) {
      mRatios.push_back(mGroupFirst / mGroupSecond);
      mGroupFirst = mGroupSecond = 0.0;
    }
    return a;
  }

  double Ratio() {
    if (mRatios.empty()) return mSecondTotal > 0.0 ? mFirstTotal / mSecondTotal : 0.0;
    std::nth_element(mRatios.begin(), mRatios.begin() + static_cast<long>(mRatios.size() / 2), mRatios.end());
    return mRatios[mRatios.size() / 2];
  }
  double FirstSeconds() const { return mFirstTotal; }
  double SecondSeconds() const { return mSecondTotal; }

private:
  double mFirstTotal = 0.0, mSecondTotal = 0.0, mGroupFirst = 0.0, mGroupSecond = 0.0;
  std::vector<double> mRatios;
};
