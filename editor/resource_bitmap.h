#pragma once

class LICE_IBitmap;

// True when the text after the file name's last dot is "png", in any case.
bool IsPngFileName(const char* fileName);

// Decodes the PNG resource id of the module when the file name says PNG;
// null otherwise or when there is no such resource. The caller owns it.
LICE_IBitmap* LoadPngResourceBitmap(void* moduleInstance, int id, const char* fileName);
