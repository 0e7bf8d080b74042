# Writes OUTPUT, a C++ source holding each of the profile files PROFILES (";"-separated) as a
# raw string, generic first.
set(body "")
set(names "")
foreach(file IN LISTS PROFILES)
  get_filename_component(name ${file} NAME_WE)
  file(READ ${file} text)
  string(APPEND body "    {\"${name}\", R\"its90profile(${text})its90profile\"},\n")
endforeach()
file(WRITE ${OUTPUT}.new
  "// Made by the build from instrument/profiles; not to be edited.\n"
  "#include \"instrument/shipped_profiles.h\"\n\n"
  "namespace its90::instrument {\n\nnamespace {\nconstexpr ShippedProfile kAll[] = {\n${body}};\n}  // namespace\n\n"
  "const std::span<const ShippedProfile> kShippedProfiles(kAll);\n\n}  // namespace its90::instrument\n")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
