#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

namespace quillon {

// One running program per user: a lock file in the user's runtime folder, released when the
// holder ends (also when it crashes, because a stale lock of a dead process is taken over).
class SingleInstance {
  public:
    // `lock_dir` empty: the per-user runtime folder.
    explicit SingleInstance(const QString& lock_dir = {});
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the lock; false when another instance runs.
    bool acquire();

  private:
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace quillon
