#include "catalog/ShipParts.h"

void ShipPart::setHealth(int newHealth) {
    if (newHealth >= 0) health = newHealth;
}

void ShipPart::setValue(int newValue) {
    if (newValue >= 0) value = newValue;
}
