// Root passes every file permission check; a test that needs a read-only file or folder to be
// read-only for real gives up those rights for a while.
#pragma once

namespace test_support {

// Removes CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH and CAP_FOWNER from the calling thread's
// effective set for the object's lifetime; they stay permitted and come back at destruction.
// Without them, root meets the permission bits like anyone else.
class ScopedFileRightsDrop {
public:
    ScopedFileRightsDrop();
    ~ScopedFileRightsDrop();
    ScopedFileRightsDrop(const ScopedFileRightsDrop&) = delete;
    ScopedFileRightsDrop& operator=(const ScopedFileRightsDrop&) = delete;

private:
    unsigned savedEffective_[2];
};

}  // namespace test_support
