#pragma once

#include <string>
#include <string_view>

// The settings of an ordinary unit, top to bottom as the dialog shows them, and lan.cfg exactly as
// Tavrel writes them: the file of an ordinary start, shared by the tests and the benchmarks.
inline constexpr char kSampleControlUnit[] = "10.1.1.3";
inline constexpr char kSampleShelfMng[] = "10.1.1.2";
inline constexpr char kSampleSubnetMask[] = "255.255.255.0";
inline constexpr char kSampleDefaultRouter[] = "10.1.1.1";
inline constexpr std::string_view kSampleConfigText = "[GENERAL INFORMATION]\r\n"
                                                      "SHELF_MNG_IP_ADDR=10.1.1.2\r\n"
                                                      "SHELF_MNG_SUBNETMASK=255.255.255.0\r\n"
                                                      "SHELF_MNG_DEFGATEWAY=10.1.1.1\r\n"
                                                      "MANAGMENT_IP_ADDR=10.1.1.3\r\n"
                                                      "MANAGMENT_SUBNETMASK=255.255.255.0\r\n"
                                                      "MANAGMENT_DEFGATEWAY=10.1.1.1\r\n";

// A lan.cfg already there before a save, different from anything the tests save, so that a save
// that did or did not happen shows in its bytes.
inline constexpr std::string_view kEarlierConfigText = "[GENERAL INFORMATION]\r\nMANAGMENT_IP_ADDR=192.168.0.7\r\n";

// lan.cfg as Tavrel writes it for any four settings, given top to bottom as the dialog shows them.
inline std::string CanonicalConfigText(std::string_view controlUnit, std::string_view shelfMng,
                                       std::string_view subnetMask, std::string_view defaultRouter)
{
    const std::string mask(subnetMask);
    const std::string router(defaultRouter);
    return "[GENERAL INFORMATION]\r\nSHELF_MNG_IP_ADDR=" + std::string(shelfMng) + "\r\nSHELF_MNG_SUBNETMASK=" + mask +
           "\r\nSHELF_MNG_DEFGATEWAY=" + router + "\r\nMANAGMENT_IP_ADDR=" + std::string(controlUnit) +
           "\r\nMANAGMENT_SUBNETMASK=" + mask + "\r\nMANAGMENT_DEFGATEWAY=" + router + "\r\n";
}
