// certprep: makes the bus driver's publisher trusted before the driver is installed, by adding
// every certificate of a certificate file to the local machine's trusted-publisher store. It
// prints nothing; the exit code is its answer: 0 when at least one certificate was added.
//
//   certprep <certificate file>
#include <windows.h>
#include <wincrypt.h>

namespace {

// A certificate store closed when it goes out of scope.
class TStore {
 public:
  explicit TStore(HCERTSTORE store) : store_(store) {}
  ~TStore() {
    if (store_) CertCloseStore(store_, 0);
  }
  TStore(const TStore&) = delete;
  TStore& operator=(const TStore&) = delete;
  HCERTSTORE get() const { return store_; }
  explicit operator bool() const { return store_ != nullptr; }
  void Close() {
    if (store_) CertCloseStore(store_, 0);
    store_ = nullptr;
  }

 private:
  HCERTSTORE store_;
};

bool IsFile(const wchar_t* path) {
  const DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int AddCertificates(const wchar_t* file) {
  TStore trusted(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                               L"trustedpublisher"));
  if (!trusted) return 1;
  // Only an existing file is opened: a missing path must not leave an empty store file.
  if (!IsFile(file)) return 1;
  TStore source(CertOpenStore(CERT_STORE_PROV_FILENAME_W, X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                              0, CERT_STORE_OPEN_EXISTING_FLAG | CERT_STORE_READONLY_FLAG, file));
  if (!source) return 1;
  int added = 0;
  PCCERT_CONTEXT cert = nullptr;
  while ((cert = CertEnumCertificatesInStore(source.get(), cert)) != nullptr) {
    if (CertAddCertificateContextToStore(trusted.get(), cert, CERT_STORE_ADD_REPLACE_EXISTING,
                                         nullptr)) {
      ++added;
    }
  }
  trusted.Close();
  source.Close();
  return added > 0 ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 1;
  return AddCertificates(argv[1]);
}
