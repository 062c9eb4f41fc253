#pragma once
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/app_settings.h"

namespace tq::engine {

// One extension of the input-format catalogue.
struct InputFormat {
  std::string_view extension;
  std::string_view formatKey;  // the extension naming its family
  std::string_view description;
};

// One output format the engine knows; formats without a catalogue entry
// (dds, pcx, psd) have fif -1 and no description or depths.
struct OutputFormat {
  std::string_view extension;
  int fif;                      // FreeImage format number, -1 when none
  std::string_view description;
  std::string_view bitDepths;   // "1,4,8,16,24,32"
  settings::Int settings::AppSettings::*bpp;  // the format's "... BPP" setting
};

// Catalogue order is the order of the accepted-extension list.
std::span<const InputFormat> InputFormatCatalogue();
// All 23 formats of the Output group, in settings order.
std::span<const OutputFormat> OutputFormatTable();

const InputFormat* FindInputFormat(std::string_view extension);
// The catalogue entry of an output extension (exact case), or nullptr when the
// format is unknown or has no catalogue entry.
const OutputFormat* FindOutputFormat(std::string_view extension);
// Any of the 23, catalogue entry or not.
const OutputFormat* FindFormatOptions(std::string_view extension);

// The list of offered depths as numbers.
std::vector<int> BitDepthList(const OutputFormat& format);

// FreeImage save flags of an output format from the current settings.
int EncoderFlags(std::string_view extension, const settings::AppSettings& s = settings::g_settings);
// First offered depth >= source depth, else the last one; 0 when none offered.
int ChooseBitDepth(std::string_view extension, int sourceDepth);

}  // namespace tq::engine
