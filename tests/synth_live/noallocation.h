#pragma once

// While one lives, every allocation in the process is counted.
class AllocationCount {
public:
    AllocationCount();
    ~AllocationCount();
    long count() const;
};
