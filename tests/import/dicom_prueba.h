#pragma once

// DICOM files written by the toolkit's own data set classes, with the zero
// preamble of a stored file, for the reader's tests.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <dcmtk/config/osconfig.h>
#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcuid.h>

struct ImagenDicom {
  uint16_t filas = 2;
  uint16_t columnas = 3;
  uint16_t bitsAsignados = 16;
  uint16_t bitsAlmacenados = 16;
  std::optional<uint16_t> representacion = 1;
  uint16_t muestrasPixel = 1;
  std::string fotometria = "MONOCHROME2";
  // Row after row, as stored; each value is written in Bits Allocated bits.
  std::vector<int> pixeles = {0, 1, 2, 3, 4, 5};
  bool sinPixeles = false;
  std::optional<std::string> instancia, posicion, grosor, espaciadoCortes, espaciadoPixel, intercepto,
      modalidad, posicionPaciente;
  std::optional<int> relleno;  // Pixel Padding Value
  bool sinFilas = false;  // no Rows element at all
};

inline bool escribeDicom(const std::string& ruta, const ImagenDicom& im) {
  DcmFileFormat ff;
  DcmDataset* d = ff.getDataset();
  d->putAndInsertString(DCM_SOPClassUID, UID_CTImageStorage);
  d->putAndInsertString(DCM_SOPInstanceUID, "1.2.826.0.1.3680043.2.1143.1");
  if (!im.sinFilas) d->putAndInsertUint16(DCM_Rows, im.filas);
  d->putAndInsertUint16(DCM_Columns, im.columnas);
  d->putAndInsertUint16(DCM_BitsAllocated, im.bitsAsignados);
  d->putAndInsertUint16(DCM_BitsStored, im.bitsAlmacenados);
  d->putAndInsertUint16(DCM_HighBit, im.bitsAlmacenados ? im.bitsAlmacenados - 1 : 0);
  if (im.representacion) d->putAndInsertUint16(DCM_PixelRepresentation, *im.representacion);
  d->putAndInsertUint16(DCM_SamplesPerPixel, im.muestrasPixel);
  d->putAndInsertString(DCM_PhotometricInterpretation, im.fotometria.c_str());
  auto texto = [&](const DcmTagKey& tag, const std::optional<std::string>& v) {
    if (v) d->putAndInsertString(tag, v->c_str());
  };
  texto(DCM_InstanceNumber, im.instancia);
  texto(DCM_SliceLocation, im.posicion);
  texto(DCM_SliceThickness, im.grosor);
  texto(DCM_SpacingBetweenSlices, im.espaciadoCortes);
  texto(DCM_PixelSpacing, im.espaciadoPixel);
  texto(DCM_RescaleIntercept, im.intercepto);
  texto(DCM_Modality, im.modalidad);
  texto(DCM_PatientPosition, im.posicionPaciente);
  if (im.relleno) {
    if (im.representacion == 1)
      d->putAndInsertSint16(DCM_PixelPaddingValue, static_cast<Sint16>(*im.relleno));
    else
      d->putAndInsertUint16(DCM_PixelPaddingValue, static_cast<Uint16>(*im.relleno));
  }
  if (!im.sinPixeles) {
    if (im.bitsAsignados == 8) {
      std::vector<Uint8> b(im.pixeles.begin(), im.pixeles.end());
      if (b.size() % 2) b.push_back(0);
      d->putAndInsertUint8Array(DCM_PixelData, b.data(), b.size());
    } else {
      std::vector<Uint16> b;
      for (int v : im.pixeles) b.push_back(static_cast<Uint16>(v));
      d->putAndInsertUint16Array(DCM_PixelData, b.data(), b.size());
    }
  }
  return ff.saveFile(ruta.c_str(), EXS_LittleEndianExplicit).good();
}
