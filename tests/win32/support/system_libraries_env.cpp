/*
 * Every Win32 test program calls the program's code, which reaches LZ32 and
 * the spooler through tables that start-up fills.  This loads them as the
 * program's WinMain does, before the first test.
 */
#include <gtest/gtest.h>

#include "app/system_libraries.h"

namespace
{

class SystemLibraries : public ::testing::Environment
{
  public:
    void SetUp() override
    {
        ASSERT_EQ(1, LoadSystemLibraries()) << "LZ32 or winspool could not be loaded";
    }
};

const ::testing::Environment *const s_systemLibraries =
    ::testing::AddGlobalTestEnvironment(new SystemLibraries);

} // namespace
