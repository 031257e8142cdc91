# What a Windows user gets besides the bare build: a version resource in every
# shipped file, the application manifest of Tallivo.exe, and per architecture
# a setup program (NSIS) and a portable zip in ${CMAKE_BINARY_DIR}/package.
# scripts/package builds both architectures and collects them.

# The version lives in src/base/version.h only; re-run CMake when it changes.
set(_tv_version_h ${PROJECT_SOURCE_DIR}/src/base/version.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_tv_version_h})
file(STRINGS ${_tv_version_h} _tv_lines REGEX "^#define TALLIVO_VERSION_")
foreach(_tv_name MAJOR MINOR TEXT)
  set(_tv_re "#define TALLIVO_VERSION_${_tv_name} +\"?([^\"; ]+)")
  string(REGEX MATCH "${_tv_re}" _tv_match "${_tv_lines}")
  if(NOT _tv_match)
    message(FATAL_ERROR "TALLIVO_VERSION_${_tv_name} not found in ${_tv_version_h}")
  endif()
  set(TALLIVO_VERSION_${_tv_name} ${CMAKE_MATCH_1})
endforeach()
set(TALLIVO_VERSION_QUAD ${TALLIVO_VERSION_MAJOR}.${TALLIVO_VERSION_MINOR}.0.0)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TALLIVO_ARCH x64)
else()
  set(TALLIVO_ARCH x86)
endif()

set(_tv_gen ${CMAKE_BINARY_DIR}/generated/res)

# tallivo_version_resource(target type description-zh description-en)
function(tallivo_version_resource target type desc_zh desc_en)
  get_target_property(_name ${target} OUTPUT_NAME)
  if(NOT _name)
    set(_name ${target})
  endif()
  if(type STREQUAL "APP")
    set(TV_FILE_NAME ${_name}.exe)
    set(TV_FILE_TYPE VFT_APP)
  else()
    set(TV_FILE_NAME ${_name}.dll)
    set(TV_FILE_TYPE VFT_DLL)
  endif()
  set(TV_INTERNAL_NAME ${_name})
  set(TV_DESCRIPTION_ZH "${desc_zh}")
  set(TV_DESCRIPTION_EN "${desc_en}")
  set(TV_VERSION_TEXT ${TALLIVO_VERSION_TEXT})
  string(REPLACE "." "," TV_VERSION_COMMAS ${TALLIVO_VERSION_QUAD})
  configure_file(${PROJECT_SOURCE_DIR}/src/res/version.rc.in ${_tv_gen}/${target}.version.rc @ONLY)
  target_sources(${target} PRIVATE ${_tv_gen}/${target}.version.rc)
endfunction()

tallivo_version_resource(Tallivo APP "泰利沃 键盘鼠标使用统计" "Tallivo keyboard and mouse usage counter")
tallivo_version_resource(TallivoHook DLL "泰利沃 全局键鼠计数钩子" "Tallivo desktop-wide input counting hook")
tallivo_version_resource(TallivoTaskHook DLL "泰利沃 指定进程键鼠计数钩子" "Tallivo per-process input counting hook")
tallivo_version_resource(SkinH DLL "泰利沃 界面皮肤库" "Tallivo skin library")

set(TV_VERSION_QUAD ${TALLIVO_VERSION_QUAD})
configure_file(${PROJECT_SOURCE_DIR}/src/res/tallivo.manifest.in ${_tv_gen}/Tallivo.manifest @ONLY)
file(CONFIGURE OUTPUT ${_tv_gen}/Tallivo.manifest.rc @ONLY CONTENT
  "// Generated: embeds the application manifest of Tallivo.exe.\n1 24 \"Tallivo.manifest\"\n")
target_sources(Tallivo PRIVATE ${_tv_gen}/Tallivo.manifest.rc)
# windres does not see the manifest as a dependency of the .rc.
set_source_files_properties(${_tv_gen}/Tallivo.manifest.rc PROPERTIES OBJECT_DEPENDS ${_tv_gen}/Tallivo.manifest)

# Setup program and portable zip. Without makensis or zip (a build outside
# scripts/, which install them) the rest still builds; the package tests
# then fail, naming what is missing.
find_program(TALLIVO_MAKENSIS makensis)
find_program(TALLIVO_ZIP zip)
set(TALLIVO_PACKAGE_DIR ${CMAKE_BINARY_DIR}/package)
set(TALLIVO_PACKAGE_BASE Tallivo-${TALLIVO_VERSION_TEXT}-${TALLIVO_ARCH})
set(TALLIVO_SETUP ${TALLIVO_PACKAGE_DIR}/${TALLIVO_PACKAGE_BASE}-setup.exe)
set(TALLIVO_PORTABLE_ZIP ${TALLIVO_PACKAGE_DIR}/${TALLIVO_PACKAGE_BASE}-portable.zip)
set(_tv_shipped Tallivo TallivoHook TallivoTaskHook SkinH)

if(TALLIVO_MAKENSIS AND TALLIVO_ZIP)
  # What ships is stripped of symbols and debug information (under half the size);
  # build/*/bin keeps the full files for debugging.
  set(_tv_files ${TALLIVO_PACKAGE_DIR}/files)
  set(_tv_staged)
  set(_tv_stage_cmds)
  foreach(t ${_tv_shipped})
    get_target_property(_type ${t} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      list(APPEND _tv_staged ${_tv_files}/${t}.exe)
    else()
      list(APPEND _tv_staged ${_tv_files}/${t}.dll)
    endif()
    list(GET _tv_staged -1 _out)
    list(APPEND _tv_stage_cmds COMMAND ${CMAKE_STRIP} --strip-all -o ${_out} $<TARGET_FILE:${t}>)
  endforeach()
  add_custom_command(OUTPUT ${_tv_staged}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_tv_files}
    ${_tv_stage_cmds}
    DEPENDS ${_tv_shipped}
    COMMENT "Stripped copies of the shipped files"
    VERBATIM)
  add_custom_command(OUTPUT ${TALLIVO_SETUP}
    COMMAND ${TALLIVO_MAKENSIS} -V2 -INPUTCHARSET UTF8
      -DARCH=${TALLIVO_ARCH} -DVERSION=${TALLIVO_VERSION_TEXT} -DVERSION_QUAD=${TALLIVO_VERSION_QUAD}
      -DBINDIR=${_tv_files} -DSRCDIR=${PROJECT_SOURCE_DIR} -DOUTFILE=${TALLIVO_SETUP}
      ${PROJECT_SOURCE_DIR}/packaging/tallivo.nsi
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/tallivo.nsi ${PROJECT_SOURCE_DIR}/src/res/tallivo.ico ${_tv_staged}
    COMMENT "Setup program ${TALLIVO_PACKAGE_BASE}-setup.exe"
    VERBATIM)
  add_custom_command(OUTPUT ${TALLIVO_PORTABLE_ZIP}
    COMMAND bash ${PROJECT_SOURCE_DIR}/packaging/portable-zip.sh ${TALLIVO_PORTABLE_ZIP}
      ${PROJECT_SOURCE_DIR}/packaging/README-portable.txt ${_tv_staged}
    DEPENDS ${PROJECT_SOURCE_DIR}/packaging/portable-zip.sh ${PROJECT_SOURCE_DIR}/packaging/README-portable.txt
      ${_tv_staged}
    COMMENT "Portable archive ${TALLIVO_PACKAGE_BASE}-portable.zip"
    VERBATIM)
  add_custom_target(tallivo_package ALL DEPENDS ${TALLIVO_SETUP} ${TALLIVO_PORTABLE_ZIP})
else()
  message(WARNING "makensis or zip not found: no setup program or portable zip (scripts/package installs them)")
endif()
