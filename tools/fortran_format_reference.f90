! Prints the reference strings used in tests/common/fortran_format_test.cpp.
! Each case is read from text with a list-directed READ (so the value is the same double
! that std::strtod gives for the text), written with the edit descriptor, and printed as
! a C++ table row {w, d, "value", "field"} (or {w, "value", "field"} for Iw).
!   gfortran tools/fortran_format_reference.f90 -o ref && ./ref
program fortran_format_reference
  implicit none

  call table('Iw')
  call int_row(5, '-42')
  call int_row(3, '0')
  call int_row(2, '-42')
  call int_row(0, '-42')
  call int_row(20, '-9223372036854775808')
  call int_row(19, '-9223372036854775808')

  call table('Fw.d')
  call real_row('F', 6, 2, '0.5')
  call real_row('F', 3, 2, '0.5')
  call real_row('F', 4, 2, '-0.5')
  call real_row('F', 5, 2, '-0.001')
  call real_row('F', 5, 2, '-0.0')
  call real_row('F', 2, 0, '0.4')
  call real_row('F', 1, 0, '0.4')
  call real_row('F', 4, 0, '2.5')
  call real_row('F', 10, 2, '0.005')
  call real_row('F', 8, 4, '9.99995')
  call real_row('F', 7, 4, '-9.99995')
  call real_row('F', 40, 30, '0.1')
  call real_row('F', 12, 2, '1e300')
  call real_row('F', 0, 2, '0.5')
  call real_row('F', 0, 0, '-0.4')
  call real_row('F', 2, 4, 'NaN')
  call real_row('F', 8, 4, 'Inf')
  call real_row('F', 7, 4, 'Inf')
  call real_row('F', 9, 4, '-Inf')
  call real_row('F', 8, 4, '-Inf')
  call real_row('F', 3, 4, '-Inf')

  call table('Ew.d')
  call real_row('E', 12, 4, '12.345')
  call real_row('E', 10, 4, '-12.345')
  call real_row('E', 9, 4, '-12.345')
  call real_row('E', 10, 4, '9.99995')
  call real_row('E', 8, 1, '0.25')
  call real_row('E', 12, 4, '-0.0')
  call real_row('E', 12, 4, '1e100')
  call real_row('E', 9, 4, '1e100')
  call real_row('E', 12, 4, '1e-99')
  call real_row('E', 12, 4, '1e98')
  call real_row('E', 12, 4, '4.9e-324')
  call real_row('E', 12, 4, '-Inf')

  call table('Gw.d')
  call real_row('G', 12, 4, '0.0')
  call real_row('G', 12, 4, '-0.0')
  call real_row('G', 6, 2, '0.0')
  call real_row('G', 12, 4, '0.0999949')
  call real_row('G', 12, 4, '0.09999995')
  call real_row('G', 12, 4, '9.9995')
  call real_row('G', 12, 4, '9999.4')
  call real_row('G', 12, 4, '9999.5')
  call real_row('G', 12, 4, '-0.001')
  call real_row('G', 8, 1, '0.95')
  call real_row('G', 8, 1, '0.94')
  call real_row('G', 8, 1, '9.5')
  call real_row('G', 6, 1, '1.5')
  call real_row('G', 5, 1, '1.5')
  call real_row('G', 7, 2, '150')
  call real_row('G', 10, 4, '-9999.4')
  call real_row('G', 12, 4, 'NaN')

  call table('1PEw.d')
  call real_row('1PE', 12, 4, '1.0')
  call real_row('1PE', 12, 4, '0.0')
  call real_row('1PE', 12, 4, '-0.0')
  call real_row('1PE', 12, 4, '-12.345')
  call real_row('1PE', 12, 4, '9.99995e4')
  call real_row('1PE', 12, 4, '-9.99995e4')
  call real_row('1PE', 12, 4, '10000.5')
  call real_row('1PE', 12, 4, '1.23456e-5')
  call real_row('1PE', 12, 4, '1e100')
  call real_row('1PE', 12, 4, '-1e-100')
  call real_row('1PE', 12, 4, '1e-99')
  call real_row('1PE', 12, 4, '9.99995e99')
  call real_row('1PE', 12, 4, '4.9e-324')
  call real_row('1PE', 11, 4, '-1e-100')
  call real_row('1PE', 10, 4, '-1e-100')
  call real_row('1PE', 10, 4, '-12.345')
  call real_row('1PE', 8, 1, '0.25')
  call real_row('1PE', 6, 0, '1.5')
  call real_row('1PE', 12, 4, 'NaN')
  call real_row('1PE', 12, 4, '-Inf')

  ! A line built from several descriptors, for the append_* functions.
  write(*, '(/, A)') '// line: I4, F7.3, E11.3, G10.3 of 12, -0.5, 6.02e23, 0.5'
  write(*, '(A, I4, F7.3, E11.3, G10.3, A)') '"', 12, -0.5d0, 6.02d23, 0.5d0, '"'

contains

  subroutine table(name)
    character(*), intent(in) :: name
    write(*, '(/, 2A)') '// ', name
  end subroutine

  subroutine int_row(w, text)
    integer, intent(in) :: w
    character(*), intent(in) :: text
    integer(8) :: n
    character(64) :: fmt, field
    read(text, *) n
    write(fmt, '("(I", I0, ")")') w
    write(field, fmt) n
    call print_row('', w, text, field)
  end subroutine

  subroutine real_row(kind, w, d, text)
    character(*), intent(in) :: kind
    integer, intent(in) :: w, d
    character(*), intent(in) :: text
    real(8) :: x
    character(64) :: fmt, prefix
    character(400) :: field
    read(text, *) x
    write(fmt, '("(", A, I0, ".", I0, ")")') kind, w, d
    write(field, fmt) x
    write(prefix, '(I0, ", ")') d
    call print_row(trim(prefix) // ' ', w, text, field)
  end subroutine

  subroutine print_row(middle, w, text, field)
    character(*), intent(in) :: middle, text, field
    integer, intent(in) :: w
    integer :: n
    n = w
    if (w == 0) n = len_trim(field)
    write(*, '(A, I0, ", ", 6A)') '    {', w, middle, '"', text, '", "', field(1:n), '"},'
  end subroutine

end program
