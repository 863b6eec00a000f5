#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/basic_settings_store.h"

namespace quillon {

// Settings held in memory for the life of the object: for tests and for runs that must leave the
// user's settings alone. Values can be planted with any kind, as another tool might have left them.
class MemorySettingsStore final : public BasicSettingsStore {
  public:
    // Plants a value as another tool would store it.
    void put(std::string_view name, StoredSetting value);
    void put_text(std::string_view name, std::string_view text);
    void put_number(std::string_view name, std::int64_t number);
    void erase(std::string_view name);

    // What is stored under a name (kind Missing when nothing is), without the store's rules.
    StoredSetting stored(std::string_view name) const;
    bool contains(std::string_view name) const { return values_.find(name) != values_.end(); }
    std::size_t size() const { return values_.size(); }

    // While true the store behaves like one that cannot be reached: reads fail, writes are lost.
    bool unavailable = false;

  protected:
    StoredSetting read_setting(std::string_view name) override;
    void write_text(std::string_view name, std::string_view value) override;
    void write_number(std::string_view name, std::int32_t value) override;

  private:
    std::map<std::string, StoredSetting, std::less<>> values_;
};

}  // namespace quillon
