// trust_root FILE: adds the DER certificate in FILE to the local machine's trusted root
// authorities, which Wine keeps in the prefix's registry.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: trust_root FILE\n");
    return 2;
  }
  std::ifstream file(argv[1], std::ios::binary);
  std::string der;
  if (file) der.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (der.empty()) {
    fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                  CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
  if (!root) {
    fprintf(stderr, "cannot open the Root store: %lu\n", GetLastError());
    return 1;
  }
  BOOL added = CertAddEncodedCertificateToStore(
      root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
      static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  DWORD error = GetLastError();
  CertCloseStore(root, 0);
  if (!added) {
    fprintf(stderr, "cannot add the certificate: %lu\n", error);
    return 1;
  }
  return 0;
}
