// The ten GnuTLS functions qpdf's crypto provider calls, forwarded to GnuTLS
// opened on the first call. qpdf is linked statically, so its crypto calls end
// here instead of making the loader open GnuTLS and the eight libraries it
// needs (and run its start-up self-tests) at every start of the command: only
// encrypted PDFs (and new document IDs) use them.
//
// When GnuTLS cannot be opened every function reports an error; qpdf turns
// that into an exception whose text (gnutls_strerror below) names the missing
// library, and the file fails with that reason.
//
// The definitions are hidden: they serve the statically linked qpdf only and
// never stand in for GnuTLS in a shared library that needs the real one.

#include <gnutls/crypto.h>
#include <gnutls/gnutls.h>

#include <dlfcn.h>

namespace {

#define CORVALA_GNUTLS_FUNCTIONS(X)                                                          \
    X(cipher_decrypt2) X(cipher_deinit) X(cipher_encrypt2) X(cipher_get_key_size)          \
    X(cipher_init) X(hash) X(hash_deinit) X(hash_init) X(rnd) X(strerror)

struct Gnutls {
#define CORVALA_GNUTLS_MEMBER(name) decltype(&::gnutls_##name) name = nullptr;
    CORVALA_GNUTLS_FUNCTIONS(CORVALA_GNUTLS_MEMBER)
#undef CORVALA_GNUTLS_MEMBER
    bool loaded = false;
};

const Gnutls& gnutls() {
    static const Gnutls library = [] {
        Gnutls g;
        // Never closed: qpdf may call in until exit. (Not LoadedLibrary: this
        // library comes after the platform library on the link line.)
        void* lib = dlopen(CORVALA_GNUTLS_SONAME, RTLD_NOW | RTLD_LOCAL);
        bool found = lib != nullptr;
#define CORVALA_GNUTLS_BIND(name)                                                            \
    g.name = lib ? reinterpret_cast<decltype(g.name)>(dlsym(lib, "gnutls_" #name)) : nullptr; \
    found = found && g.name;
        CORVALA_GNUTLS_FUNCTIONS(CORVALA_GNUTLS_BIND)
#undef CORVALA_GNUTLS_BIND
        g.loaded = found;
        return g;
    }();
    return library;
}

// The error the functions give when GnuTLS is missing; any negative code makes
// qpdf fail, this one reads right if it reaches a log unexplained.
constexpr int kNotLoaded = GNUTLS_E_CRYPTO_INIT_FAILED;

} // namespace

#define CORVALA_HIDDEN __attribute__((visibility("hidden")))

extern "C" {

CORVALA_HIDDEN int gnutls_cipher_init(gnutls_cipher_hd_t* handle,
                                      gnutls_cipher_algorithm_t cipher,
                                      const gnutls_datum_t* key, const gnutls_datum_t* iv) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.cipher_init(handle, cipher, key, iv) : kNotLoaded;
}

CORVALA_HIDDEN int gnutls_cipher_decrypt2(gnutls_cipher_hd_t handle, const void* ctext,
                                          size_t ctext_len, void* ptext, size_t ptext_len) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.cipher_decrypt2(handle, ctext, ctext_len, ptext, ptext_len) : kNotLoaded;
}

CORVALA_HIDDEN int gnutls_cipher_encrypt2(gnutls_cipher_hd_t handle, const void* ptext,
                                          size_t ptext_len, void* ctext, size_t ctext_len) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.cipher_encrypt2(handle, ptext, ptext_len, ctext, ctext_len) : kNotLoaded;
}

CORVALA_HIDDEN void gnutls_cipher_deinit(gnutls_cipher_hd_t handle) {
    // A handle exists only when gnutls_cipher_init succeeded.
    if (const Gnutls& g = gnutls(); g.loaded)
        g.cipher_deinit(handle);
}

CORVALA_HIDDEN size_t gnutls_cipher_get_key_size(gnutls_cipher_algorithm_t algorithm) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.cipher_get_key_size(algorithm) : 0;
}

CORVALA_HIDDEN int gnutls_hash_init(gnutls_hash_hd_t* dig, gnutls_digest_algorithm_t algorithm) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.hash_init(dig, algorithm) : kNotLoaded;
}

CORVALA_HIDDEN int gnutls_hash(gnutls_hash_hd_t handle, const void* text, size_t textlen) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.hash(handle, text, textlen) : kNotLoaded;
}

CORVALA_HIDDEN void gnutls_hash_deinit(gnutls_hash_hd_t handle, void* digest) {
    // A handle exists only when gnutls_hash_init succeeded.
    if (const Gnutls& g = gnutls(); g.loaded)
        g.hash_deinit(handle, digest);
}

CORVALA_HIDDEN int gnutls_rnd(gnutls_rnd_level_t level, void* data, size_t len) {
    const Gnutls& g = gnutls();
    return g.loaded ? g.rnd(level, data, len) : kNotLoaded;
}

CORVALA_HIDDEN const char* gnutls_strerror(int error) {
    const Gnutls& g = gnutls();
    if (g.loaded)
        return g.strerror(error);
    return "the crypto library " CORVALA_GNUTLS_SONAME
           " (GnuTLS), needed for encrypted PDFs, cannot be opened";
}

} // extern "C"
