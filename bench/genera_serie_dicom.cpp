// Writes a CT series for the DICOM benchmark: COUNT files of SIZE x SIZE
// signed 16-bit samples (rescale intercept -1024, 0.703125 mm pixels, slices
// 1.25 mm apart), named img0001.dcm ... in FOLDER.
//   genera_serie_dicom FOLDER [COUNT [SIZE]]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcuid.h>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: genera_serie_dicom FOLDER [COUNT [SIZE]]\n");
    return 2;
  }
  const std::filesystem::path carpeta = argv[1];
  const int cortes = argc > 2 ? std::atoi(argv[2]) : 300;
  const int lado = argc > 3 ? std::atoi(argv[3]) : 512;
  if (cortes < 1 || lado < 1 || lado > 65535) {
    std::fprintf(stderr, "genera_serie_dicom: COUNT and SIZE must be positive\n");
    return 2;
  }
  std::filesystem::create_directories(carpeta);
  std::vector<Sint16> pixeles(static_cast<std::size_t>(lado) * lado);
  for (int z = 0; z < cortes; ++z) {
    // A disc of soft tissue in air, its brightness changing with the slice,
    // so that no two files are alike.
    for (int r = 0; r < lado; ++r)
      for (int c = 0; c < lado; ++c) {
        const int dx = c - lado / 2, dy = r - lado / 2;
        const bool dentro = 4 * (dx * dx + dy * dy) < lado * lado * 3 / 4;
        pixeles[std::size_t(r) * lado + c] = static_cast<Sint16>(dentro ? 1000 + (z + r + c) % 400 : -1000);
      }
    DcmFileFormat ff;
    DcmDataset* d = ff.getDataset();
    char uid[100];
    d->putAndInsertString(DCM_SOPClassUID, UID_CTImageStorage);
    d->putAndInsertString(DCM_SOPInstanceUID, dcmGenerateUniqueIdentifier(uid, SITE_INSTANCE_UID_ROOT));
    d->putAndInsertString(DCM_Modality, "CT");
    d->putAndInsertString(DCM_PatientPosition, "HFS");
    d->putAndInsertString(DCM_InstanceNumber, std::to_string(cortes - z).c_str());
    d->putAndInsertString(DCM_SliceLocation, std::to_string(-100.0 + 1.25 * z).c_str());
    d->putAndInsertString(DCM_SliceThickness, "1.25");
    d->putAndInsertString(DCM_PixelSpacing, "0.703125\\0.703125");
    d->putAndInsertString(DCM_RescaleIntercept, "-1024");
    d->putAndInsertString(DCM_RescaleSlope, "1");
    d->putAndInsertUint16(DCM_Rows, static_cast<Uint16>(lado));
    d->putAndInsertUint16(DCM_Columns, static_cast<Uint16>(lado));
    d->putAndInsertUint16(DCM_SamplesPerPixel, 1);
    d->putAndInsertString(DCM_PhotometricInterpretation, "MONOCHROME2");
    d->putAndInsertUint16(DCM_BitsAllocated, 16);
    d->putAndInsertUint16(DCM_BitsStored, 16);
    d->putAndInsertUint16(DCM_HighBit, 15);
    d->putAndInsertUint16(DCM_PixelRepresentation, 1);
    d->putAndInsertUint16Array(DCM_PixelData, reinterpret_cast<const Uint16*>(pixeles.data()),
                               pixeles.size());
    char nombre[32];
    std::snprintf(nombre, sizeof nombre, "img%04d.dcm", z + 1);
    const std::string ruta = (carpeta / nombre).string();
    if (ff.saveFile(ruta.c_str(), EXS_LittleEndianExplicit).bad()) {
      std::fprintf(stderr, "genera_serie_dicom: cannot write %s\n", ruta.c_str());
      return 1;
    }
  }
  return 0;
}
