"""A CT series written by pydicom, as a scanner's export would be, read by osmavu-info.

The slices are numbered out of order, the rows differ from the columns and the
samples are signed, so the ordering, the extents and the attribute texts all
have to come out as the reader defines them.
"""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

try:
    import numpy as np
    import pydicom
    from pydicom.dataset import Dataset, FileMetaDataset
    from pydicom.uid import CTImageStorage, ExplicitVRLittleEndian, generate_uid
except ImportError as e:  # the tool is a test dependency only
    print(f"skipped: {e}")
    sys.exit(77)

INFO = sys.argv[1]
fallos = []


def comprueba(cond, texto):
    if not cond:
        fallos.append(texto)


def escribe(ruta, instancia, posicion, filas, columnas, valores):
    meta = FileMetaDataset()
    meta.MediaStorageSOPClassUID = CTImageStorage
    meta.MediaStorageSOPInstanceUID = generate_uid()
    meta.TransferSyntaxUID = ExplicitVRLittleEndian
    ds = Dataset()
    ds.file_meta = meta
    ds.preamble = b"\0" * 128
    ds.is_little_endian = True
    ds.is_implicit_VR = False
    ds.SOPClassUID = CTImageStorage
    ds.SOPInstanceUID = meta.MediaStorageSOPInstanceUID
    ds.Modality = "CT"
    ds.InstanceNumber = instancia
    ds.SliceLocation = posicion
    ds.SliceThickness = "1.25"
    ds.PixelSpacing = ["0.703125", "0.703125"]
    ds.RescaleIntercept = "-1024"
    ds.RescaleSlope = "1"
    ds.Rows, ds.Columns = filas, columnas
    ds.BitsAllocated = ds.BitsStored = 16
    ds.HighBit = 15
    ds.PixelRepresentation = 1
    ds.SamplesPerPixel = 1
    ds.PhotometricInterpretation = "MONOCHROME2"
    ds.PixelData = valores.astype("<i2").tobytes()
    ds.save_as(str(ruta), write_like_original=False)


with tempfile.TemporaryDirectory() as tmp:
    carpeta = Path(tmp)
    filas, columnas = 5, 7
    rutas = []
    for n, (instancia, posicion) in enumerate([(3, "15"), (1, "10"), (2, "12.5")]):
        valores = (np.arange(filas * columnas).reshape(filas, columnas) * 13 + 100 * n).astype(np.int16)
        ruta = carpeta / f"im{n}.dcm"
        escribe(ruta, instancia, posicion, filas, columnas, valores)
        rutas.append(str(ruta))
    salida = subprocess.run([INFO, "--json", *rutas], capture_output=True, text=True)
    comprueba(salida.returncode == 0, f"exit {salida.returncode}: {salida.stderr}")
    if salida.returncode == 0:
        j = json.loads(salida.stdout)
        d = j["display"]
        a = d["attributes"]
        comprueba(j["key"] == "Dicom", f"key {j['key']}")
        comprueba((d["width"], d["height"], d["slices"]) == (columnas, filas, 3),
                  f"extents {d['width']}x{d['height']}x{d['slices']}")
        comprueba(d["sliceType"] == "CorteShort", f"slice type {d['sliceType']}")
        comprueba(a.get("PixelDimx") == "0.703125" and a.get("PixelDimy") == "0.703125", f"pixel sizes {a}")
        comprueba(a.get("ST") == "2.5" and a.get("PixelDimz") == "2.5", f"thickness {a.get('ST')}")
        comprueba(a.get("modality") == "CT", f"modality {a.get('modality')}")
        comprueba(a.get("FileName") == tmp, f"FileName {a.get('FileName')}")
    # The same folder opened as a folder.
    salida = subprocess.run([INFO, "--json", "--folder", tmp], capture_output=True, text=True)
    comprueba(salida.returncode == 0, f"folder exit {salida.returncode}: {salida.stderr}")
    if salida.returncode == 0:
        d = json.loads(salida.stdout)["display"]
        comprueba((d["width"], d["height"], d["slices"]) == (columnas, filas, 3), "folder extents")
        comprueba(d["sliceType"] == "CorteUnsignedShort", f"folder slice type {d['sliceType']}")

for f in fallos:
    print("FAIL:", f)
sys.exit(1 if fallos else 0)
