#pragma once

class FiledProductRouter;
class ProductIntake;
struct IncomingProduct;

// An image (".GIF", ".JPG"): filed in the image directory under its name up
// to the first "." with the arrival time added ("RADUSAPN-12061830.GIF"); an
// older file under the received name there is removed.
class ImageHandler
{
public:
    ImageHandler(ProductIntake& intake, FiledProductRouter& router);
    void handle(const IncomingProduct& p);

private:
    ProductIntake& m_intake;
    FiledProductRouter& m_router;
};
