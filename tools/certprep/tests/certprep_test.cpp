// certprep.exe against the Wine prefix's own local-machine trusted-publisher store, with
// certificates made by the test.
#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/testing/run_program.h"

namespace kv {
namespace {

using tools::test::RunProgram;

struct CertDeleter {
  void operator()(PCCERT_CONTEXT c) const { CertFreeCertificateContext(c); }
};
using Cert = std::unique_ptr<const CERT_CONTEXT, CertDeleter>;

struct StoreDeleter {
  void operator()(HCERTSTORE s) const { CertCloseStore(s, 0); }
};
using Store = std::unique_ptr<void, StoreDeleter>;

Cert MakeCertificate(const std::wstring& commonName) {
  const std::wstring x500 = L"CN=" + commonName;
  DWORD size = 0;
  CertStrToNameW(X509_ASN_ENCODING, x500.c_str(), CERT_X500_NAME_STR, nullptr, nullptr, &size,
                 nullptr);
  std::vector<BYTE> name(size);
  if (!CertStrToNameW(X509_ASN_ENCODING, x500.c_str(), CERT_X500_NAME_STR, nullptr, name.data(),
                      &size, nullptr)) {
    return nullptr;
  }
  CERT_NAME_BLOB blob{size, name.data()};
  return Cert(
      CertCreateSelfSignCertificate(0, &blob, 0, nullptr, nullptr, nullptr, nullptr, nullptr));
}

Store OpenTrusted() {
  return Store(CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE,
                             L"trustedpublisher"));
}

bool IsTrusted(PCCERT_CONTEXT c) {
  Store s = OpenTrusted();
  if (!s) return false;
  Cert found(CertFindCertificateInStore(s.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0,
                                        CERT_FIND_EXISTING, c, nullptr));
  return found != nullptr;
}

std::wstring Thumbprint(PCCERT_CONTEXT c) {
  BYTE hash[20];
  DWORD size = sizeof hash;
  if (!CertGetCertificateContextProperty(c, CERT_SHA1_HASH_PROP_ID, hash, &size)) return L"";
  static const wchar_t kDigits[] = L"0123456789ABCDEF";
  std::wstring text;
  for (DWORD i = 0; i < size; ++i) {
    text += kDigits[hash[i] >> 4];
    text += kDigits[hash[i] & 15];
  }
  return text;
}

// The thumbprints of everything the store holds, sorted.
std::vector<std::wstring> TrustedThumbprints() {
  std::vector<std::wstring> prints;
  Store s = OpenTrusted();
  if (!s) return prints;
  PCCERT_CONTEXT c = nullptr;
  while ((c = CertEnumCertificatesInStore(s.get(), c)) != nullptr) prints.push_back(Thumbprint(c));
  std::sort(prints.begin(), prints.end());
  return prints;
}

// Wine reports the delete from the system store as done but keeps the certificate's registry
// key, where the store lives; so the key goes too, or every run would leave its certificates.
void Untrust(PCCERT_CONTEXT c) {
  if (Store s = OpenTrusted()) {
    PCCERT_CONTEXT found = CertFindCertificateInStore(
        s.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_EXISTING, c, nullptr);
    if (found) CertDeleteCertificateFromStore(found);  // frees the context
  }
  const std::wstring key =
      L"Software\\Microsoft\\SystemCertificates\\TrustedPublisher\\Certificates\\" + Thumbprint(c);
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
}

constexpr wchar_t kTestPublisher[] = L"Korvanta test publisher ";

// Certificates an interrupted earlier run left behind.
void UntrustLeftovers() {
  std::vector<Cert> stale;
  if (Store s = OpenTrusted()) {
    PCCERT_CONTEXT c = nullptr;
    while ((c = CertEnumCertificatesInStore(s.get(), c)) != nullptr) {
      wchar_t name[128] = {};
      CertGetNameStringW(c, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, 128);
      if (std::wstring_view(name).starts_with(kTestPublisher))
        stale.emplace_back(CertDuplicateCertificateContext(c));
    }
  }
  for (auto& c : stale) Untrust(c.get());
}

class CertprepTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UntrustLeftovers();
    before_ = TrustedThumbprints();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"kv-certprep-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-";
    for (int i = 0; i < 3; ++i) {
      certs_.push_back(MakeCertificate(std::wstring(kTestPublisher) + tag + std::to_wstring(i)));
      ASSERT_TRUE(certs_.back()) << GetLastError();
    }
  }
  void TearDown() override {
    for (auto& c : certs_) Untrust(c.get());
    // The next run must find the store as this one did.
    EXPECT_EQ(TrustedThumbprints(), before_);
    for (const wchar_t* file : {L"one.cer", L"all.p7b", L"empty.p7b", L"junk.cer"})
      DeleteFileW((folder_ + L"\\" + file).c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  std::wstring WriteDer(const std::wstring& name, PCCERT_CONTEXT c) {
    const std::wstring path = folder_ + L"\\" + name;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(f, c->pbCertEncoded, c->cbCertEncoded, &written, nullptr);
    CloseHandle(f);
    return path;
  }
  std::wstring WritePkcs7(const std::wstring& name, const std::vector<PCCERT_CONTEXT>& certs) {
    const std::wstring path = folder_ + L"\\" + name;
    Store mem(CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
    for (auto c : certs)
      CertAddCertificateContextToStore(mem.get(), c, CERT_STORE_ADD_NEW, nullptr);
    EXPECT_TRUE(CertSaveStore(mem.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING,
                              CERT_STORE_SAVE_AS_PKCS7, CERT_STORE_SAVE_TO_FILENAME_W,
                              const_cast<wchar_t*>(path.c_str()), 0));
    return path;
  }
  static std::wstring Quoted(const std::wstring& s) { return L"\"" + s + L"\""; }

  std::wstring folder_;
  std::vector<std::wstring> before_;
  std::vector<Cert> certs_;
};

TEST_F(CertprepTest, WrongArgumentCountIs1) {
  EXPECT_EQ(RunProgram(L"certprep.exe", L"").exitCode, 1u);
  const std::wstring der = WriteDer(L"one.cer", certs_[0].get());
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(der) + L" " + Quoted(der)).exitCode, 1u);
  EXPECT_FALSE(IsTrusted(certs_[0].get()));
}

TEST_F(CertprepTest, AddsASingleDerCertificateAndAgainWhenRunTwice) {
  const std::wstring der = WriteDer(L"one.cer", certs_[0].get());
  auto r = RunProgram(L"certprep.exe", Quoted(der));
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(r.output, "");
  EXPECT_TRUE(IsTrusted(certs_[0].get()));
  EXPECT_FALSE(IsTrusted(certs_[1].get()));
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(der)).exitCode, 0u);  // replaced
  EXPECT_TRUE(IsTrusted(certs_[0].get()));
}

TEST_F(CertprepTest, AddsEveryCertificateOfAPkcs7File) {
  const std::wstring p7 =
      WritePkcs7(L"all.p7b", {certs_[0].get(), certs_[1].get(), certs_[2].get()});
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(p7)).exitCode, 0u);
  for (auto& c : certs_) EXPECT_TRUE(IsTrusted(c.get()));
}

TEST_F(CertprepTest, FilesWithoutCertificatesAre1AndMissingFilesAreNotCreated) {
  const std::wstring empty = WritePkcs7(L"empty.p7b", {});
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(empty)).exitCode, 1u);
  const std::wstring missing = folder_ + L"\\missing.cer";
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(missing)).exitCode, 1u);
  EXPECT_EQ(GetFileAttributesW(missing.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(folder_)).exitCode, 1u);
  const std::wstring junk = folder_ + L"\\junk.cer";
  HANDLE f = CreateFileW(junk.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, "not a certificate", 17, &written, nullptr);
  CloseHandle(f);
  EXPECT_EQ(RunProgram(L"certprep.exe", Quoted(junk)).exitCode, 1u);
}

}  // namespace
}  // namespace kv
