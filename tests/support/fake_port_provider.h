#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "backends/recording/recording_port.h"
#include "base/port_provider.h"
#include "ports/line_settings.h"
#include "ports/port_errors.h"

namespace quillon {

// Numbered ports without hardware. Numbers in `openable` open (unless already open: Busy) and
// hand out a port that forwards to a RecordingPort kept here; others fail with the error planted
// in `errors`, or NoSuchDevice. Invalid line settings texts fail with BadSettings.
class FakePortProvider final : public PortProvider {
  public:
    PortOpenResult open(int number, const std::string& settings) override {
        opens.emplace_back(number, settings);
        if (!openable.contains(number)) {
            const auto planted = errors.find(number);
            return failure(planted != errors.end()
                               ? planted->second
                               : make_port_error(PortErrorKind::NoSuchDevice, number, describe(number)));
        }
        if (in_use_.contains(number))
            return failure(make_port_error(PortErrorKind::Busy, number, describe(number)));
        if (!parse_line_settings(settings))
            return failure(make_port_error(PortErrorKind::BadSettings, number, describe(number), settings));
        recorders.push_back(std::make_unique<RecordingPort>());
        recorders.back()->fail_after_changes = fail_after_changes;
        in_use_.insert(number);
        return std::make_unique<TrackedPort>(*recorders.back(), in_use_, number);
    }

    std::string describe(int number) override {
        const auto it = devices.find(number);
        return it == devices.end() ? std::string() : it->second;
    }

    std::vector<std::string> other_ports() override { return adapters; }

    // The recorder behind the most recently opened port.
    RecordingPort& last_port() { return *recorders.back(); }
    bool is_open(int number) const { return in_use_.contains(number); }

    std::set<int> openable;
    std::map<int, PortError> errors;
    std::map<int, std::string> devices;
    std::vector<std::string> adapters;     // the USB adapters the list names besides the numbers
    std::int64_t fail_after_changes = -1;  // for the ports opened from now on
    std::vector<std::pair<int, std::string>> opens;
    std::vector<std::unique_ptr<RecordingPort>> recorders;

  private:
    // Forwards to a recorder and frees its number when it is closed.
    class TrackedPort final : public ProgrammerPort {
      public:
        TrackedPort(RecordingPort& recorder, std::set<int>& in_use, int number)
            : recorder_(recorder), in_use_(in_use), number_(number) {}
        ~TrackedPort() override { in_use_.erase(number_); }
        void set_dtr(bool asserted) override { recorder_.set_dtr(asserted); }
        void set_rts(bool asserted) override { recorder_.set_rts(asserted); }
        bool read_dsr() override { return recorder_.read_dsr(); }
        void write_byte(std::uint8_t value) override { recorder_.write_byte(value); }
        bool failed() const override { return recorder_.failed(); }
        std::string failure_text() const override { return recorder_.failure_text(); }

      private:
        RecordingPort& recorder_;
        std::set<int>& in_use_;
        int number_;
    };

    std::set<int> in_use_;
};

}  // namespace quillon
