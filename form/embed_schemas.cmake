# Writes OUTPUT, a C++ source holding the DCC schemas SCHEMAS (";"-separated) as byte arrays,
# each under its file name, so that a certificate is validated with nothing read from disk.
set(body "")
foreach(file IN LISTS SCHEMAS)
  get_filename_component(name ${file} NAME)
  file(READ ${file} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(MAKE_C_IDENTIFIER ${name} id)
  string(APPEND body "constexpr char k_${id}[] = {${bytes}};\n")
  string(APPEND list "    {\"${name}\", std::string_view(k_${id}, sizeof k_${id})},\n")
endforeach()
file(WRITE ${OUTPUT}.new
  "// Made by the build from form/dcc; not to be edited.\n"
  "#include \"form/dcc_schemas.h\"\n\n"
  "namespace its90::form {\n\nnamespace {\n${body}constexpr DccSchema kAll[] = {\n${list}};\n}  // namespace\n\n"
  "const std::span<const DccSchema> kDccSchemas(kAll);\n\n}  // namespace its90::form\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
