#pragma once

struct FiledProduct;

// Runs every alarm definition against a filed product and hands each match
// on for dispatch.
class IAlarmLoops
{
public:
    virtual ~IAlarmLoops() = default;
    // Text products are matched by their identifier, images and hourly
    // collections by their product name.
    virtual void runAlarms(const FiledProduct& product) = 0;
};
