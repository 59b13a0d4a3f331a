#include "app/CurrentHeater.h"
#include "app/Globals.h"
#include "product/Product.h"

THeaterIdentity CurrentHeater()
{
    if (!CurrentProduct)
        return {};
    return {CurrentProduct->ModelName(), CurrentProduct->SerialNumberText, CurrentProduct->VersionText};
}
