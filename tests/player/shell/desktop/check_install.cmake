# Installs the build into a scratch tree as a package would (prefix /usr) and checks what a
# desktop needs of it: a valid desktop entry, a MIME package the database accepts, the icon
# sizes, the help where the program looks for it, and programs that run from the tree.
# cmake -DBUILD=<build dir> -DHELP_FROM_PROGRAM=<relative path> -DPROGRAM_DIR=<lib/volta> -P check_install.cmake
set(root ${BUILD}/install-check)
file(REMOVE_RECURSE ${root})
set(ENV{DESTDIR} ${root})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr OUTPUT_QUIET RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the install failed")
endif()
unset(ENV{DESTDIR})
set(usr ${root}/usr)

function(must_run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(failed)
    message(FATAL_ERROR "${ARGN} failed (${failed}): ${out}${err}")
  endif()
endfunction()

must_run(desktop-file-validate ${usr}/share/applications/volta.desktop)
# The MIME package must build a database.
file(COPY ${usr}/share/mime/packages/volta.xml DESTINATION ${root}/mime-check/packages)
must_run(update-mime-database ${root}/mime-check)
if(NOT EXISTS ${root}/mime-check/audio/x-rcp.xml)
  message(FATAL_ERROR "the MIME package defines no audio/x-rcp")
endif()

set(program_dir ${usr}/${PROGRAM_DIR})
foreach(file ${program_dir}/volta ${program_dir}/volta-play ${program_dir}/volta-convert ${program_dir}/volta-wrd
        ${program_dir}/libvoltant.so ${program_dir}/libmorph.so ${usr}/share/volta/demo.mid
        ${program_dir}/${HELP_FROM_PROGRAM}/index.html ${program_dir}/${HELP_FROM_PROGRAM}/faq.html)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "missing ${file}")
  endif()
endforeach()
foreach(size 16 22 24 32 48 64 128 256)
  if(NOT EXISTS ${usr}/share/icons/hicolor/${size}x${size}/apps/volta.png)
    message(FATAL_ERROR "no icon of ${size} pixels")
  endif()
endforeach()
foreach(program volta volta-play volta-convert volta-wrd)
  if(NOT IS_SYMLINK ${usr}/bin/${program})
    message(FATAL_ERROR "bin/${program} is no link into the program folder")
  endif()
endforeach()

# Started through their links, the programs find their libraries beside them.
must_run(${usr}/bin/volta-play --list-devices)
must_run(${usr}/bin/volta --version)
must_run(${usr}/bin/volta-convert --help)
file(REMOVE_RECURSE ${root})
