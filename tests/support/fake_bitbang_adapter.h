#pragma once

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "base/bitbang_adapter.h"

namespace quillon {

// An adapter that keeps every call and answers each state with a sample of the test's choosing.
struct AdapterLog {
    std::vector<std::string> calls;
    std::vector<std::uint8_t> written;
    std::vector<int> transfers;  // states per round trip
    std::deque<std::uint8_t> samples;
    std::uint8_t sample = 0xFF;  // the answer once `samples` is used up
    int fifo = 128;
};

class FakeAdapter final : public BitBangAdapter {
  public:
    explicit FakeAdapter(AdapterLog& log) : log_(log) {}
    int set_latency_timer(std::uint8_t ms) override { return call("latency " + std::to_string(ms)); }
    int set_bitmode(std::uint8_t mask, Mode mode) override {
        return call("bitmode " + std::to_string(mask) + " " + std::to_string(static_cast<int>(mode)));
    }
    int set_baudrate(int rate) override { return call("rate " + std::to_string(rate)); }
    int purge_buffers() override { return call("purge"); }
    int write_data(const std::uint8_t* data, int size) override {
        log_.written.insert(log_.written.end(), data, data + size);
        in_flight_ += size;
        return size;
    }
    int read_data(std::uint8_t* data, int size) override {
        const int count = std::min(size, std::min(in_flight_, 7));  // a few at a time, as USB packets come
        if (in_flight_ > 0 && !reading_) log_.transfers.push_back(in_flight_);
        reading_ = count < in_flight_;
        for (int i = 0; i < count; ++i) {
            data[i] = log_.sample;
            if (!log_.samples.empty()) {
                data[i] = log_.samples.front();
                log_.samples.pop_front();
            }
        }
        in_flight_ -= count;
        return count;
    }
    std::string error_text() const override { return {}; }
    int fifo_size() const override { return log_.fifo; }

  private:
    int call(std::string text) {
        log_.calls.push_back(std::move(text));
        return 0;
    }
    AdapterLog& log_;
    int in_flight_ = 0;
    bool reading_ = false;
};

}  // namespace quillon
