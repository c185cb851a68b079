# The hardening Debian 12's dpkg-buildflags gives a package built with
# hardening=+all, so a plain Release build is as hard as the packaged one:
# fortified libc calls (checked at run time where the size is known), a
# stack protector, and every relocation resolved at start-up and then made
# read-only. _FORTIFY_SOURCE needs the optimiser, so Debug builds go without;
# it is undefined first so a compiler that defines its own level does not
# warn of a redefinition.
set(_pelvaro_optimised $<CONFIG:Release,RelWithDebInfo,MinSizeRel>)
add_compile_options($<${_pelvaro_optimised}:-U_FORTIFY_SOURCE> $<${_pelvaro_optimised}:-D_FORTIFY_SOURCE=2>
                    -fstack-protector-strong)
add_link_options(LINKER:-z,relro LINKER:-z,now)
