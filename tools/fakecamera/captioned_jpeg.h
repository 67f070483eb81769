// JPEG frames as the camera serves them: a picture made with TurboJPEG whose bytes 24 to 42
// carry a 19-character caption, in a comment segment placed at byte 20.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fakecamera {

enum class Subsampling { k444, k422, k420, kGray };

constexpr size_t kCaptionOffset = 24;
constexpr size_t kCaptionLength = 19;

/* A width x height JPEG of a colour gradient with the caption (cut or padded with blanks to 19
   characters) at bytes 24..42; empty when TurboJPEG fails. */
std::vector<uint8_t> MakeCaptionedJpeg(int width, int height, int quality, Subsampling subsampling,
                                       bool progressive, const std::string& caption19);

/* Places the caption into an existing JPEG: keeps a 16-byte JFIF segment at byte 2 (adding one
   when it is missing) and inserts the comment segment after it. Empty when the input does not
   begin with FF D8. */
std::vector<uint8_t> InsertCaption(const std::vector<uint8_t>& jpeg, const std::string& caption19);

}  // namespace fakecamera
