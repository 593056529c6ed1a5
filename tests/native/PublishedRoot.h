#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "values/RegistryValue.h"

namespace tovask::test {

inline std::string fromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
        bytes.push_back(static_cast<char>(std::stoi(std::string(hex.substr(at, 2)), nullptr, 16)));
    }
    return bytes;
}

// A root published as an interceptor's, whose private key everyone has: its
// bytes, as anyone may find them, give the published thumbprint.
inline const std::string kPublishedCertificate = fromHex(
    "308202f53082025ea003020102020900d2fc1387a944dce7300d06092a864886f70d0101050500305b311830"
    "16060355040a130f5375706572666973682c20496e632e310b3009060355040713025346310b300906035504"
    "0813024341310b3009060355040613025553311830160603550403130f5375706572666973682c20496e632e"
    "301e170d3134303531323136323532365a170d3334303530373136323532365a305b31183016060355040a13"
    "0f5375706572666973682c20496e632e310b3009060355040713025346310b3009060355040813024341310b"
    "3009060355040613025553311830160603550403130f5375706572666973682c20496e632e30819f300d0609"
    "2a864886f70d010101050003818d0030818902818100e8f34a18765f193fb1cf58e97f430709958035c50ffe"
    "7131278199122620a5df8f6afc425539ee093889d9e036c4ac01825bd539e6f98f0788dffeeef6a114cea974"
    "45d8fdf017572a82e17a2e12935aac8ad71563d1b79b55800f58bc1c49ed2062ddb64ca53aeb1c3da0ff7a71"
    "a6d3107833ae4bc21cfd924aa1c3e741a42d0203010001a381c03081bd300c0603551d13040530030101ff30"
    "1d0603551d0e04160414fb98b3537f14442ee8eed5099a5e0e5686a8358830818d0603551d23048185308182"
    "8014fb98b3537f14442ee8eed5099a5e0e5686a83588a15fa45d305b31183016060355040a130f5375706572"
    "666973682c20496e632e310b3009060355040713025346310b3009060355040813024341310b300906035504"
    "0613025553311830160603550403130f5375706572666973682c20496e632e820900d2fc1387a944dce7300d"
    "06092a864886f70d010105050003818100a47ca0ec0a4ac770c47168f33b22e2dc9c8dd092fe737e722b5544"
    "9b1bb442eb1fafbebae393a3d48b18c294f0b3a6bd65344ccd24f8190bc5150adaf3578ba986cf6cc3ee842f"
    "850b19141798b40cd4968be91ccc95c94ed0aa4b01a5f6df4912816abed5bece767d4eac8b88e330ed318450"
    "8fbcf1502a5b4aa65e7c0f71fa");
inline constexpr std::wstring_view kPublishedThumbprint =
    L"C864484869D41D2B0D32319C5A62F9315AAF2CBD";

// The certificate as a store keeps it: its one property, the certificate.
inline RegistryValue publishedRootBlob() {
    std::string blob("\x20\0\0\0\x01\0\0\0", 8);
    const auto size = static_cast<std::uint32_t>(kPublishedCertificate.size());
    for (int shift = 0; shift < 32; shift += 8) {
        blob.push_back(static_cast<char>(size >> shift & 0xff));
    }
    blob += kPublishedCertificate;
    return {regtype::kBinary, std::vector<std::uint8_t>(blob.begin(), blob.end())};
}

}  // namespace tovask::test
