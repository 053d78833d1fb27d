#pragma once

class FiledProductRouter;
class ProductIntake;
struct IncomingProduct;

// A web page (".HTM"): filed in the text directory under its own name.
class WebPageHandler
{
public:
    WebPageHandler(ProductIntake& intake, FiledProductRouter& router);
    void handle(const IncomingProduct& p);

private:
    ProductIntake& m_intake;
    FiledProductRouter& m_router;
};
