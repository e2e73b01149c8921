// EXIF and IPTC readers on JPEGs written by exiftool (an independent writer), and on
// hand-made damaged segments.
#include <gtest/gtest.h>

#include "imaging/metadata/exif_reader.h"
#include "imaging/metadata/iptc_reader.h"
#include "imaging/metadata/macro_parser.h"
#include "imaging/metadata/picture_macros.h"
#include "picture_tools.h"

namespace vyr {
namespace {

using testing::HaveTool;
using testing::ReadFile;
using testing::RunTool;
using testing::TempDir;

constexpr const char* kExiftool = "/usr/bin/exiftool";

// A small JPEG with every picture-macro field written by exiftool.
std::string MetadataJpeg(const std::string& dir, const std::string& name, const char* byteOrder,
                         bool app0, bool utf8Iptc) {
  const std::string file = dir + "/" + name;
  RunTool(std::string(testing::kConvert) + " -size 8x8 xc:red '" + file + "'");
  std::string args = std::string(kExiftool) + " -overwrite_original -ExifByteOrder=" + byteOrder +
                     " '-ImageDescription= A red square ' '-ModifyDate=2012:03:27 14:05:09'"
                     " '-UserComment=  Nice day ' -IPTC:ObjectName=Title"
                     " '-IPTC:SpecialInstructions=Handle with care' -IPTC:By-line=Alice"
                     " -IPTC:By-line=Bob -IPTC:By-lineTitle=Photographer"
                     " '-IPTC:City=Z\xC3\xBCrich' -IPTC:Sub-location=Oldtown"
                     " -IPTC:Province-State=ZH -IPTC:Country-PrimaryLocationName=Switzerland"
                     " -IPTC:OriginalTransmissionReference=OTR-7 '-IPTC:Headline=Big news'"
                     " '-IPTC:Credit=Credit line' -IPTC:Source=Archive"
                     " '-IPTC:CopyrightNotice=(c) 2012' '-IPTC:Caption-Abstract= A caption '"
                     " -IPTC:Writer-Editor=Carol -IPTC:Writer-Editor=Dave";
  if (utf8Iptc) args += " -IPTC:CodedCharacterSet=UTF8";
  if (!app0) args += " -JFIF:all=";
  RunTool(args + " '" + file + "'");
  return file;
}

TEST(PictureMetadata, ExiftoolWrittenFieldsGiveEveryMacroValue) {
  if (!HaveTool(kExiftool) || !HaveTool(testing::kConvert)) GTEST_SKIP() << "needs exiftool";
  const std::string dir = TempDir();
  const struct {
    const char* name;
    const char* order;
    bool app0;
    bool utf8;
  } files[] = {
      {"mm_app0.jpg", "MM", true, false},
      {"ii_app0.jpg", "II", true, true},
      {"mm_bare.jpg", "MM", false, true},
      {"ii_bare.jpg", "II", false, false},
  };
  const std::pair<const char*, const char*> expected[] = {
      {"<%MainImg.Exif.Comment%>", "Nice day"},
      {"<%MainImg.Exif.Description%>", "A red square"},
      {"<%MainImg.Exif.Date%>", "2012:03:27 14:05:09"},
      {"<%MainImg.Exif.Time%>", "2012:03:27 14:05:09"},
      {"<%MainImg.IPTC.DocumentTitle%>", "Title"},
      {"<%MainImg.IPTC.SpecialInstructions%>", "Handle with care"},
      {"<%MainImg.IPTC.AuthorByline%>", "Alice"},
      {"<%MainImg.IPTC.AuthorTitle%>", "Photographer"},
      {"<%MainImg.IPTC.City%>", "Z\xC3\xBCrich"},
      {"<%MainImg.IPTC.Sublocation%>", "Oldtown"},
      {"<%MainImg.IPTC.ProvinceState%>", "ZH"},
      {"<%MainImg.IPTC.Country%>", "Switzerland"},
      {"<%MainImg.IPTC.OTR%>", "OTR-7"},
      {"<%MainImg.IPTC.Headline%>", "Big news"},
      {"<%MainImg.IPTC.Credits%>", "Credit line"},
      {"<%MainImg.IPTC.Source%>", "Archive"},
      {"<%MainImg.IPTC.Copyright%>", "(c) 2012"},
      {"<%MainImg.IPTC.CaptionDescription%>", "A caption"},
      {"<%MainImg.IPTC.CaptionWriter%>", "Carol"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::string file = MetadataJpeg(dir, f.name, f.order, f.app0, f.utf8);
    const std::vector<uint8_t> bytes = ReadFile(file);
    ASSERT_EQ(bytes[2] == 0xFF && bytes[3] == 0xE0, f.app0);
    for (const auto& [macro, value] : expected)
      EXPECT_EQ(PictureMacroValue(macro, file, nullptr), value) << macro;

    auto stream = MakeRef<TMemoryStream>(bytes);
    TIPTCData iptc;
    iptc.Read(*stream);
    EXPECT_EQ(iptc.Utf8Encoded(), f.utf8);
    EXPECT_EQ(iptc.Texts(80), (std::vector<std::string>{"Alice", "Bob"}));
  }
  // Through the macro parser, as a text object would use it.
  const std::string file = dir + "/mm_app0.jpg";
  TMTParser parser([&](TMTParser&, const std::string& macro, std::string& value) {
    value = PictureMacroValue(macro, file, nullptr);
  });
  EXPECT_EQ(
      parser.Expand("<%MainImg.Exif.Date%> at <%MainImg.Exif.Time%> in <%MainImg.IPTC.City%>"),
      "2012:03:27 at 14:05:09 in Z\xC3\xBCrich");
}

TEST(PictureMetadata, ShortExifTextsLiveInTheEntryItself) {
  if (!HaveTool(kExiftool) || !HaveTool(testing::kConvert)) GTEST_SKIP() << "needs exiftool";
  const std::string file = TempDir() + "/short.jpg";
  RunTool(std::string(testing::kConvert) + " -size 8x8 xc:blue '" + file + "'");
  RunTool(std::string(kExiftool) + " -overwrite_original -ImageDescription=Hi '" + file + "'");
  auto stream = MakeRef<TMemoryStream>(ReadFile(file));
  EXPECT_EQ(ReadExif(*stream).imageDescription, "Hi");
}

TEST(PictureMetadata, PicturesWithoutSegmentsGiveEmptyValues) {
  if (!HaveTool(testing::kConvert)) GTEST_SKIP() << "needs ImageMagick";
  const std::string file = TempDir() + "/plain.jpg";
  RunTool(std::string(testing::kConvert) + " -size 8x8 xc:green '" + file + "'");
  for (std::string_view macro : kTextMacros)
    EXPECT_EQ(PictureMacroValue(macro, file, nullptr), "") << macro;
  EXPECT_EQ(PictureMacroValue("<%MainImg.IPTC.City%>", "/no/such/file.jpg", nullptr), "");
}

// SOI, APP1 "Exif" with a TIFF header and the given IFD bytes (little-endian).
std::vector<uint8_t> ExifJpeg(const std::vector<uint8_t>& tiffAfterHeader, uint32_t ifd0 = 8) {
  std::vector<uint8_t> b = {0xFF,
                            0xD8,
                            0xFF,
                            0xE1,
                            0x00,
                            0x00,
                            'E',
                            'x',
                            'i',
                            'f',
                            0,
                            0,
                            'I',
                            'I',
                            42,
                            0,
                            uint8_t(ifd0),
                            uint8_t(ifd0 >> 8),
                            uint8_t(ifd0 >> 16),
                            uint8_t(ifd0 >> 24)};
  b.insert(b.end(), tiffAfterHeader.begin(), tiffAfterHeader.end());
  b.push_back(0xFF);
  b.push_back(0xD9);
  return b;
}

std::vector<uint8_t> Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
  return {uint8_t(tag),   uint8_t(tag >> 8),   uint8_t(type),        uint8_t(type >> 8),
          uint8_t(count), uint8_t(count >> 8), uint8_t(count >> 16), uint8_t(count >> 24),
          uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

TEST(ExifReader, OffsetsPointingAnywhereGiveEmptyFieldsWithoutFailing) {
  const std::vector<uint32_t> offsets = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 5000, 3};
  for (uint32_t offset : offsets) {
    std::vector<uint8_t> ifd = {3, 0};
    for (auto e :
         {Entry(0x010E, 2, 20, offset), Entry(0x0132, 2, 20, offset), Entry(0x8769, 4, 1, offset)})
      ifd.insert(ifd.end(), e.begin(), e.end());
    auto stream = MakeRef<TMemoryStream>(ExifJpeg(ifd));
    const TExif exif = ReadExif(*stream);
    EXPECT_TRUE(exif.dateTime.empty() || offset == 3) << offset;
  }
  // IFD0 itself out of reach; a count of 0 reads on to tag 0; a count over 10,000 is empty.
  auto far = MakeRef<TMemoryStream>(ExifJpeg({}, 0xFFFFFFF0u));
  EXPECT_TRUE(ReadExif(*far).dateTime.empty());
  std::vector<uint8_t> zeroCount = {0, 0};
  for (auto e : {Entry(0x010E, 2, 8, 8 + 2 + 36), Entry(0x0132, 2, 20000, 8), Entry(0, 0, 0, 0)})
    zeroCount.insert(zeroCount.end(), e.begin(), e.end());
  for (char c : std::string("Caption\0", 8)) zeroCount.push_back(uint8_t(c));
  auto zero = MakeRef<TMemoryStream>(ExifJpeg(zeroCount));
  const TExif exif = ReadExif(*zero);
  EXPECT_EQ(exif.imageDescription, "Caption");
  EXPECT_EQ(exif.dateTime, "");
}

TEST(ExifReader, ReadCacheCopiesOnlyWhatTheFieldsNeed) {
  std::vector<uint8_t> ifd = {1, 0};
  const auto e = Entry(0x010E, 2, 6, 8 + 2 + 12 + 4);
  ifd.insert(ifd.end(), e.begin(), e.end());
  for (int i = 0; i < 4; ++i) ifd.push_back(0);
  for (char c : std::string("Hello\0", 6)) ifd.push_back(uint8_t(c));
  std::vector<uint8_t> bytes = ExifJpeg(ifd);
  bytes.resize(200000, 0x55);  // a large picture body after the segment
  auto stream = MakeRef<TMemoryStream>(bytes);
  TExifReadCache cache(*stream);
  EXPECT_EQ(ReadExif(cache).imageDescription, "Hello");
  EXPECT_EQ(cache.CachedSize(), 4096);
  // Not a JPEG, or too short: nothing.
  auto png = MakeRef<TMemoryStream>(std::vector<uint8_t>{0x89, 'P', 'N', 'G'});
  EXPECT_EQ(ReadExif(*png).imageDescription, "");
}

// SOI, one APP13 "Photoshop 3.0" segment with the given resources, EOI.
std::vector<uint8_t> IptcJpeg(const std::vector<uint8_t>& resources) {
  std::vector<uint8_t> segment = {'P', 'h', 'o', 't', 'o', 's', 'h',
                                  'o', 'p', ' ', '3', '.', '0', 0};
  segment.insert(segment.end(), resources.begin(), resources.end());
  const size_t length = segment.size() + 2;
  std::vector<uint8_t> b = {0xFF, 0xD8, 0xFF, 0xED, uint8_t(length >> 8), uint8_t(length)};
  b.insert(b.end(), segment.begin(), segment.end());
  b.push_back(0xFF);
  b.push_back(0xD9);
  return b;
}

std::vector<uint8_t> Resource(uint16_t id, const std::vector<uint8_t>& data, int32_t size) {
  std::vector<uint8_t> r = {'8',
                            'B',
                            'I',
                            'M',
                            uint8_t(id >> 8),
                            uint8_t(id),
                            0,
                            0,
                            uint8_t(uint32_t(size) >> 24),
                            uint8_t(uint32_t(size) >> 16),
                            uint8_t(uint32_t(size) >> 8),
                            uint8_t(size)};
  r.insert(r.end(), data.begin(), data.end());
  if (r.size() % 2) r.push_back(0);
  return r;
}

std::vector<uint8_t> Dataset(uint8_t record, uint8_t number, const std::string& text) {
  std::vector<uint8_t> d = {0x1C, record, number, uint8_t(text.size() >> 8), uint8_t(text.size())};
  d.insert(d.end(), text.begin(), text.end());
  return d;
}

std::string CityOf(const std::vector<uint8_t>& jpeg) {
  auto stream = MakeRef<TMemoryStream>(jpeg);
  TIPTCData iptc;
  iptc.Read(*stream);
  return iptc.Text(90);
}

TEST(IptcReader, DamagedResourcesAndDatasets) {
  const std::vector<uint8_t> city = Dataset(2, 90, "Bern");
  const std::vector<uint8_t> good = Resource(0x0404, city, int32_t(city.size()));
  // A negative resource size counts as 0: the next resource is still found.
  std::vector<uint8_t> negative = Resource(0x0404, {}, -5);
  negative.insert(negative.end(), good.begin(), good.end());
  EXPECT_EQ(CityOf(IptcJpeg(negative)), "Bern");
  // A size beyond the segment, a bad record number and a bad size-field length clear it all.
  EXPECT_EQ(CityOf(IptcJpeg(Resource(0x0404, city, 0x7FFFFFF0))), "");
  std::vector<uint8_t> badRecord = city;
  const auto record12 = Dataset(12, 5, "x");
  badRecord.insert(badRecord.end(), record12.begin(), record12.end());
  EXPECT_EQ(CityOf(IptcJpeg(Resource(0x0404, badRecord, int32_t(badRecord.size())))), "");
  std::vector<uint8_t> badSize = city;
  for (int b : {0x1C, 0x02, 0x05, 0x80, 0x03, 0, 0, 1, int('x')}) badSize.push_back(uint8_t(b));
  EXPECT_EQ(CityOf(IptcJpeg(Resource(0x0404, badSize, int32_t(badSize.size())))), "");
  // An extended size field of 2 bytes holds the real size.
  std::vector<uint8_t> extended = {0x1C, 0x02, 90, 0x80, 0x02, 0x00, 0x05, 'G', 'e', 'n', 'f', ' '};
  EXPECT_EQ(CityOf(IptcJpeg(Resource(0x0404, extended, int32_t(extended.size())))), "Genf ");
  // Not a JPEG; a truncated segment.
  EXPECT_EQ(CityOf({0x00, 0x01, 0x02}), "");
  std::vector<uint8_t> cut = IptcJpeg(good);
  cut.resize(cut.size() - 8);
  EXPECT_EQ(CityOf(cut), "");
}

}  // namespace
}  // namespace vyr
