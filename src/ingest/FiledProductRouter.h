#pragma once

class AlarmFile;
class IAlarmLoops;
class IMetarHooks;
class NewProducts;
class ProductLists;
class Settings;
class StatusLine;
struct FiledProduct;

// Hands a filed product to the rest of the program: the status line, the
// new-products entries, the product lists, the METAR hooks and the alarm
// loops, each kind in its own order.
class FiledProductRouter
{
public:
    struct Targets
    {
        const Settings& settings;
        const AlarmFile& alarms; // which observation alarms are defined
        StatusLine& status;
        ProductLists& lists;
        NewProducts& newProducts;
        IAlarmLoops& alarmLoops;
        IMetarHooks& metar;
    };

    explicit FiledProductRouter(const Targets& targets);

    void route(const FiledProduct& product);

private:
    void routeText(const FiledProduct& product);
    void routeImage(const FiledProduct& product);
    void routeCollection(const FiledProduct& product);
    void routeWebPage(const FiledProduct& product);
    void runMetarHooks(const FiledProduct& product);
    void setDdeHeader(const FiledProduct& product);

    Targets m_t;
};
