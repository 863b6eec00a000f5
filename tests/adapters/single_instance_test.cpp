#include "adapters/single_instance.h"

#include <gtest/gtest.h>

#include <QSysInfo>

#include "support/temp_dir.h"

namespace quillon {
namespace {

TEST(SingleInstance, OnlyOneHolderAtATime) {
    TempDir dir;
    const QString folder = QString::fromStdString(dir.path());
    auto first = std::make_unique<SingleInstance>(folder);
    ASSERT_TRUE(first->acquire());
    SingleInstance second(folder);
    EXPECT_FALSE(second.acquire());
    first.reset();  // the first instance ends
    EXPECT_TRUE(second.acquire());
}

TEST(SingleInstance, TakesOverTheLockOfAProcessThatIsGone) {
    TempDir dir;
    // A lock left by a process that no longer runs (pid far above any live one).
    const std::string host = QSysInfo::machineHostName().toStdString();
    dir.write("ardentix-quillon.lock", "999999999\nquillon\n" + host + "\n");
    SingleInstance instance(QString::fromStdString(dir.path()));
    EXPECT_TRUE(instance.acquire());
}

}  // namespace
}  // namespace quillon
