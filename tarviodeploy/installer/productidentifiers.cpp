#include "tarviodeploy/installer/productidentifiers.h"

namespace Tarvio {

namespace {

constexpr ProductIdentifier product(int32_t number) { return static_cast<ProductIdentifier>(number); }

} // namespace

// Only entry 2, this installer's product, is used here; the others are placeholders.
const EnumNameTable<ProductIdentifier, 14> productIdentifiers({
    {product(0), L"product0"},
    {product(1), L"product1"},
    {product(2), L"3dsmax"},
    {product(3), L"product3"},
    {product(4), L"product4"},
    {product(5), L"product5"},
    {product(6), L"product6"},
    {product(7), L"product7"},
    {product(8), L"product8"},
    {product(9), L"product9"},
    {product(10), L"product10"},
    {product(11), L"product11"},
    {product(12), L"product12"},
    {product(13), L"product13"},
});

} // namespace Tarvio
