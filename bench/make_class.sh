# Sourced by the benchmarks: make_class N writes a class of N students as a spreadsheet
# in Portuguese saves it (decimal commas, ';'), the same class on every run;
# make_class N bimestres the same with four bimesters' grades.
make_class() {
    awk -v students="$1" -v bimesters="${2:+1}" 'BEGIN {
        srand(1)
        print bimesters ? "Matrícula;Nome;1º Bim;2º Bim;3º Bim;4º Bim" \
                        : "Matrícula;Nome;Nota 1;Nota 2;Nota 3"
        for (i = 1; i <= students; i++) {
            line = sprintf("%d;Aluno %d da Silva;%.2f;%.1f;%d", 2026000000 + i, i,
                           rand() * 10, rand() * 10, int(rand() * 11))
            if (bimesters)
                line = line sprintf(";%.1f", rand() * 10)
            gsub(/\./, ",", line)
            print line
        }
    }'
}
