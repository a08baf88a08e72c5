/* Loads a hunspell.dll the way a host program does, through LoadLibraryA and GetProcAddress
 * on its C interface, opens the Bulgarian dictionary with it and checks a few words.
 *
 *   hunspell_check DLL AFF DIC
 *
 * Exit code 0 when every check passes, 1 otherwise (with the reason on stderr). */

#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef struct Hunhandle Hunhandle;
typedef Hunhandle* (*CreateFn)(const char* aff, const char* dic);
typedef void (*DestroyFn)(Hunhandle* h);
typedef int (*SpellFn)(Hunhandle* h, const char* word);
typedef int (*SuggestFn)(Hunhandle* h, char*** list, const char* word);
typedef void (*FreeListFn)(Hunhandle* h, char*** list, int n);
typedef char* (*GetDicEncodingFn)(Hunhandle* h);

struct HunspellApi {
  CreateFn create;
  DestroyFn destroy;
  SpellFn spell;
  SuggestFn suggest;
  FreeListFn free_list;
  GetDicEncodingFn get_dic_encoding;
};

/* The words are UTF-8 bytes, the encoding of the dictionary's SET line. */

/* Words the dictionary knows: plain stems, a form made by an affix rule (the definite
 * article), and a capitalised word at the start of a sentence. */
static const char* const kCorrect[] = {
    "\xd0\xba\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb0",                         /* книга */
    "\xd0\xba\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb0\xd1\x82\xd0\xb0",         /* книгата */
    "\xd0\x9a\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb0",                         /* Книга */
    "\xd1\x85\xd1\x83\xd0\xb1\xd0\xb0\xd0\xb2\xd0\xb0",                 /* хубава */
    "\xd0\x91\xd1\x8a\xd0\xbb\xd0\xb3\xd0\xb0\xd1\x80\xd0\xb8\xd1\x8f", /* България */
    "\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x81", /* правопис */
    "\xd0\xb3\xd0\xbe\xd0\xb2\xd0\xbe\xd1\x80\xd1\x8f",                 /* говоря */
};

/* Misspellings, each with the word its suggestions must include: a wrong letter, a
 * doubled letter, a missing letter, a wrong sign in a proper noun, and a letter too many. */
static const struct {
  const char* wrong;
  const char* expected;
} kMisspelt[] = {
    {"\xd0\xba\xd0\xbd\xd0\xb0\xd0\xb3\xd0\xb0", /* кнага */
     "\xd0\xba\xd0\xbd\xd0\xb8\xd0\xb3\xd0\xb0"},
    {"\xd0\xb2\xd0\xbe\xd0\xb4\xd0\xb4\xd0\xb0", /* водда */ "\xd0\xb2\xd0\xbe\xd0\xb4\xd0\xb0"},
    {"\xd1\x85\xd1\x83\xd0\xb1\xd0\xbe\xd0\xb2", /* хубов */
     "\xd1\x85\xd1\x83\xd0\xb1\xd0\xb0\xd0\xb2"},
    {"\xd0\xb7\xd0\xb4\xd1\x80\xd0\xb0\xd0\xb2\xd0\xb5\xd0\xb8", /* здравеи */
     "\xd0\xb7\xd0\xb4\xd1\x80\xd0\xb0\xd0\xb2\xd0\xb5\xd0\xb9"},
    {"\xd0\x91\xd1\x8c\xd0\xbb\xd0\xb3\xd0\xb0\xd1\x80\xd0\xb8\xd1\x8f", /* Бьлгария */
     "\xd0\x91\xd1\x8a\xd0\xbb\xd0\xb3\xd0\xb0\xd1\x80\xd0\xb8\xd1\x8f"},
    {"\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x81\xd1\x81", /* правописс */
     "\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xbe\xd0\xbf\xd0\xb8\xd1\x81"},
};

#define COUNT(a) (sizeof(a) / sizeof((a)[0]))

/* GetProcAddress gives a generic function pointer; going through void (*)(void) is the
 * cast that compilers accept without a function-type warning. */
typedef void (*AnyFn)(void);

static AnyFn Lookup(HMODULE dll, const char* name, int* missing) {
  AnyFn fn = (AnyFn)(void (*)(void))GetProcAddress(dll, name);
  if (fn == NULL) {
    fprintf(stderr, "FAIL: the DLL does not export %s\n", name);
    ++*missing;
  }
  return fn;
}

static int LoadApi(HMODULE dll, struct HunspellApi* api) {
  int missing = 0;
  api->create = (CreateFn)Lookup(dll, "Hunspell_create", &missing);
  api->destroy = (DestroyFn)Lookup(dll, "Hunspell_destroy", &missing);
  api->spell = (SpellFn)Lookup(dll, "Hunspell_spell", &missing);
  api->suggest = (SuggestFn)Lookup(dll, "Hunspell_suggest", &missing);
  api->free_list = (FreeListFn)Lookup(dll, "Hunspell_free_list", &missing);
  api->get_dic_encoding = (GetDicEncodingFn)Lookup(dll, "Hunspell_get_dic_encoding", &missing);
  return missing == 0;
}

static int FileExists(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/* Returns the number of failed checks. */
static int CheckWords(const struct HunspellApi* api, Hunhandle* h) {
  int failures = 0;
  for (size_t i = 0; i < COUNT(kCorrect); ++i) {
    int ok = api->spell(h, kCorrect[i]);
    printf("%s  accepted: %s\n", ok ? "ok  " : "FAIL", kCorrect[i]);
    if (!ok) ++failures;
  }
  for (size_t i = 0; i < COUNT(kMisspelt); ++i) {
    const char* wrong = kMisspelt[i].wrong;
    const char* expected = kMisspelt[i].expected;
    int rejected = !api->spell(h, wrong);
    char** list = NULL;
    int n = api->suggest(h, &list, wrong);
    int found = 0;
    for (int j = 0; j < n; ++j) {
      if (strcmp(list[j], expected) == 0) found = 1;
    }
    printf("%s  rejected: %s\n", rejected ? "ok  " : "FAIL", wrong);
    printf("%s  %d suggestion(s), %s among them:", found ? "ok  " : "FAIL", n, expected);
    for (int j = 0; j < n; ++j)
      printf(" %s", list[j]);
    printf("\n");
    if (n > 0) api->free_list(h, &list, n);
    if (!rejected) ++failures;
    if (!found) ++failures;
  }
  return failures;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: hunspell_check DLL AFF DIC\n");
    return 1;
  }
  const char* dll_path = argv[1];
  const char* aff_path = argv[2];
  const char* dic_path = argv[3];

  /* The words are printed as UTF-8. */
  SetConsoleOutputCP(CP_UTF8);

  /* Hunspell opens missing files without complaint and then knows no words, which would
   * read as a spelling failure; say what is really wrong. */
  if (!FileExists(aff_path) || !FileExists(dic_path)) {
    fprintf(stderr, "FAIL: cannot find the dictionary files %s and %s\n", aff_path, dic_path);
    return 1;
  }

  HMODULE dll = LoadLibraryA(dll_path);
  if (dll == NULL) {
    fprintf(stderr, "FAIL: LoadLibrary(%s) failed with error %lu\n", dll_path,
            (unsigned long)GetLastError());
    return 1;
  }
  printf("loaded %s\n", dll_path);

  struct HunspellApi api;
  if (!LoadApi(dll, &api)) {
    FreeLibrary(dll);
    return 1;
  }

  Hunhandle* h = api.create(aff_path, dic_path);
  if (h == NULL) {
    fprintf(stderr, "FAIL: Hunspell_create returned NULL for %s, %s\n", aff_path, dic_path);
    FreeLibrary(dll);
    return 1;
  }

  int failures = 0;
  const char* encoding = api.get_dic_encoding(h);
  printf("dictionary encoding: %s\n", encoding ? encoding : "(none)");
  if (encoding == NULL || _stricmp(encoding, "UTF-8") != 0) {
    fprintf(stderr, "FAIL: the dictionary is not UTF-8, and the test words are\n");
    failures = 1;
  } else {
    failures = CheckWords(&api, h);
  }

  api.destroy(h);
  FreeLibrary(dll);

  if (failures != 0) {
    fprintf(stderr, "FAIL: %d check(s) failed\n", failures);
    return 1;
  }
  printf("all checks passed\n");
  return 0;
}
